#pragma once

#include "platform/platform.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace orvel::cli {

// What every subcommand is given: the platform chosen by --demo (or the real
// one), the subcommand's own arguments with the global options taken out,
// and the two output streams.
struct CommandContext {
    Platform& platform;
    std::vector<std::string> arguments;
    std::ostream& out;
    std::ostream& err;
    std::string logDirectory;  // --log-dir, empty for the platform's own
    std::string demoArgument;  // --demo or --demo=DIR as given, empty for the real drives
};

} // namespace orvel::cli
