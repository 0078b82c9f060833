#pragma once

#include <span>
#include <string>
#include <string_view>

namespace orvel::cli {

// Exit statuses of the command line.
inline constexpr int kExitCompleted = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 3;

// False only for the desktop program's own options (--demo, --demo=DIR,
// --log-dir DIR), rightly given, or none: everything else, mistakes
// included, is the command line's to answer, without starting Qt.
bool isCommandLineInvocation(std::span<char*> arguments);

// Runs the subcommand the arguments name and returns the exit status.
int runCommandLine(std::span<char*> arguments);

} // namespace orvel::cli
