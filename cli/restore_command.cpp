#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/operation_arguments.h"
#include "cli/operation_runner.h"
#include "cli/operation_summary.h"
#include "cli/subcommands.h"
#include "engine/operation_slots.h"
#include "engine/restore_setup.h"
#include "inventory/drive_inventory.h"
#include "platform/terminal.h"

#include <filesystem>
#include <iostream>

namespace orvel::cli {

int runRestoreCommand(CommandContext& context)
{
    CommonOperationOptions common = takeCommonOptions(context.arguments);
    // A restore verifies unless told not to: what was written is worth the one read back.
    bool noVerify = false;
    std::erase_if(context.arguments, [&](const std::string& argument) {
        return argument == "--no-verify" && (noVerify = true);
    });
    for (const std::string& argument : context.arguments) {
        if (argument.starts_with("-")) {
            context.err << "Unknown option \"" << argument << "\" for restore. See --help.\n";
            return kExitUsage;
        }
    }
    if (context.arguments.size() != 2) {
        context.err << "restore needs IMAGE and DEST. See --help.\n";
        return kExitUsage;
    }
    if (common.verify && noVerify) {
        context.err << "--verify and --no-verify cannot go together.\n";
        return kExitUsage;
    }
    // The log and the header name the image wherever it is read from.
    std::error_code error;
    const std::filesystem::path typed(context.arguments[0]);
    const std::filesystem::path absolute = std::filesystem::absolute(typed, error);
    const std::string imagePath = (error ? typed : absolute.lexically_normal()).string();

    takeInventory(context);
    const std::vector<DriveChoice> entries = setupEntries();
    DeviceAccess& access = context.platform.devices();
    const std::optional<std::size_t> destination = findEntry(entries, access, context.arguments[1]);
    if (!destination) {
        reportUnknownDrive(context, "drive or volume", context.arguments[1]);
        ClearInventory();
        return kExitUsage;
    }
    const std::string logDirectory = chooseLogDirectory(context);
    if (logDirectory.empty()) {
        ClearInventory();
        return kExitFailed;
    }
    const DriveInfo& to = entryRecord(*destination);
    destinationName = to.caption;

    TerminalMessages messages(context.err, std::cin, common.assumeYes, isTerminal(StandardStream::Input));
    const std::uintmax_t imageBytes = std::filesystem::file_size(imagePath, error);
    messages.setSummary(operationSummary({.source = describeImageSource(imagePath, error ? 0 : imageBytes),
                                          .destination = describeEntry(to, context.arguments[1]),
                                          .destinationIsDrive = to.isPhysical}));
    const bool started = setUpRestore({imagePath, entries[*destination]}, access, messages);
    ClearInventory();
    if (!started)
        return exitStatusAfterRefusal(messages);

    return runPreparedOperation({true, true, common.quiet, logDirectory, !noVerify}, context.out, context.err);
}

} // namespace orvel::cli
