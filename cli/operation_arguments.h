#pragma once

#include "cli/command_context.h"
#include "cli/terminal_messages.h"

#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

// The options clone, image and restore share.
struct CommonOperationOptions {
    bool assumeYes = false;
    bool quiet = false;
    bool verify = false;
};

// Takes --yes, --quiet and --verify out of `arguments`.
CommonOperationOptions takeCommonOptions(std::vector<std::string>& arguments);

// The log folder: --log-dir, or the platform's own. Empty (with a message on
// `err`) when there is none, so that no operation runs unlogged.
std::string chooseLogDirectory(CommandContext& context);

// The exit status after the set-up checks stopped an operation.
int exitStatusAfterRefusal(const TerminalMessages& messages);

// Fills the inventory as the set-up panels do, printing any notice.
void takeInventory(CommandContext& context);

} // namespace orvel::cli
