#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/operation_arguments.h"
#include "cli/operation_runner.h"
#include "cli/subcommands.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "engine/setup_rules.h"
#include "inventory/drive_inventory.h"
#include "platform/terminal.h"

#include <filesystem>
#include <iostream>
#include <ostream>

namespace orvel::cli {

int runImageCommand(CommandContext& context)
{
    const CommonOperationOptions common = takeCommonOptions(context.arguments);
    for (const std::string& argument : context.arguments) {
        if (argument.starts_with("-")) {
            context.err << "Unknown option \"" << argument << "\" for image. See --help.\n";
            return kExitUsage;
        }
    }
    if (context.arguments.size() != 2) {
        context.err << "image needs SOURCE and FILE. See --help.\n";
        return kExitUsage;
    }
    const std::string imagePath = withImageExtension(context.arguments[1]);
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(imagePath, error).parent_path();
    if (error || !std::filesystem::is_directory(folder, error)) {
        context.err << "The folder of \"" << imagePath << "\" does not exist.\n";
        return kExitUsage;
    }
    const std::string logDirectory = chooseLogDirectory(context);
    if (logDirectory.empty())
        return kExitFailed;

    takeInventory(context);
    const std::vector<DriveChoice> entries = setupEntries();
    DeviceAccess& access = context.platform.devices();
    const std::optional<std::size_t> source = findEntry(entries, access, context.arguments[0]);
    if (!source) {
        context.err << "No drive or volume \"" << context.arguments[0] << "\"; \"orvel-disk-image list\" shows them.\n";
        ClearInventory();
        return kExitUsage;
    }
    sourceName = entryCaption(*source);
    // An existing file is emptied first, so its room counts as free.
    std::uint64_t freeBytes = access.freeSpace(imagePath).value_or(0);
    if (std::filesystem::is_regular_file(imagePath, error)) {
        context.err << "\"" << imagePath << "\" exists and will be replaced.\n";
        freeBytes += std::filesystem::file_size(imagePath, error);
    }

    ImagingRequest request{entries[*source], imagePath, freeBytes};
    TerminalMessages messages(context.err, std::cin, common.assumeYes, isTerminal(StandardStream::Input));
    const bool started = setUpImaging(request, access, messages);
    ClearInventory();
    if (!started)
        return exitStatusAfterRefusal(messages);

    return runPreparedOperation({true, false, common.quiet, logDirectory}, context.out, context.err);
}

} // namespace orvel::cli
