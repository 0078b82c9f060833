#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvel::test {

struct CommandResult {
    int exitStatus = -1;  // -1 when the program could not be started or died of a signal
    std::string output;   // standard output and standard error together
};

// Full path of a system program (searched in PATH, then the sbin folders that
// a non-login root shell may lack); empty when it is not installed.
std::string findProgram(const std::string& name);

// Runs a program with these arguments (no shell), feeding `input` to its
// standard input, and waits for it.
CommandResult runCommand(const std::vector<std::string>& arguments, std::string_view input = {});

// The argument list as one line, for failure messages.
std::string describeCommand(const std::vector<std::string>& arguments);

} // namespace orvel::test
