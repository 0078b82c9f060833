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

// True when the arguments name a subcommand (or ask for help/version), so the
// command line handles them instead of the desktop program.
bool isCommandLineInvocation(std::span<char*> arguments);

// Runs the subcommand the arguments name and returns the exit status.
int runCommandLine(std::span<char*> arguments);

} // namespace orvel::cli
