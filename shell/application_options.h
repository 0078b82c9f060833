#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvel {

// What the desktop program is told on its command line (the command line's
// own subcommands never reach it).
struct ApplicationOptions {
    std::optional<std::string> demoScenario;  // --demo (empty: the built-in set) or --demo=DIR
    std::optional<std::string> logDirectory;  // --log-dir DIR
};

struct ParsedApplicationOptions {
    std::optional<ApplicationOptions> options;  // none when the arguments are refused
    std::string error;                          // then why, for the terminal
};

// The arguments after the program's name, with Qt's own options taken out.
ParsedApplicationOptions parseApplicationOptions(const std::vector<std::string>& arguments);

} // namespace orvel
