#pragma once

#include "platform/windows/unique_handle.h"

#include <string>
#include <vector>

namespace orvel::test {

// A program started with pipes on its standard input and output (standard
// error goes to the output as well). Ended and waited for when the object
// goes, if the test did not wait for it.
class ChildProcess {
public:
    // arguments[0] is the program's path; arguments are UTF-8. A child in a
    // process group of its own can be sent Ctrl+Break alone.
    explicit ChildProcess(const std::vector<std::string>& arguments, bool ownProcessGroup = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    unsigned long processId() const { return processId_; }

    // One line of output without its line end; empty at the end of output.
    std::string readLine();
    // Everything up to the end of output.
    std::string readAll();
    // The child then reads the end of its input.
    void closeInput();
    // Ends the child at once, as a crash would.
    void terminate();
    // The exit code; -1 when the child never started.
    int wait();

private:
    windows::UniqueHandle process_;
    windows::UniqueHandle input_;
    windows::UniqueHandle output_;
    unsigned long processId_ = 0;
};

struct ProgramRun {
    int exitCode = -1;
    std::string output;
};

// Runs a program to its end with an empty input.
ProgramRun runProgram(const std::vector<std::string>& arguments);

} // namespace orvel::test
