#pragma once

#include "cli/command_context.h"

namespace orvel::cli {

// Each returns the process's exit status (command_line.h).
int runCloneCommand(CommandContext& context);
int runImageCommand(CommandContext& context);
int runRestoreCommand(CommandContext& context);
int runVerifyCommand(CommandContext& context);
int runListCommand(CommandContext& context);
int runHealthCommand(CommandContext& context);

} // namespace orvel::cli
