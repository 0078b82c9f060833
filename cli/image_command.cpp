#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/map_arguments.h"
#include "cli/operation_arguments.h"
#include "cli/operation_runner.h"
#include "cli/operation_summary.h"
#include "cli/subcommands.h"
#include "engine/map_plan.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "engine/setup_rules.h"
#include "inventory/drive_inventory.h"
#include "inventory/mapped_device.h"
#include "platform/terminal.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <ostream>

namespace orvel::cli {

namespace {

namespace fs = std::filesystem;

// The image file's absolute path (so the log names it wherever it is read
// from), or nullopt with the reason on `err` when FILE cannot be an image:
// empty, a folder, or in a folder that does not exist.
std::optional<std::string> imagePathOf(const std::string& typed, std::ostream& err)
{
    if (typed.empty()) {
        err << "image needs a FILE name, such as backup.img. See --help.\n";
        return std::nullopt;
    }
    std::error_code error;
    const fs::path path = fs::absolute(withImageExtension(typed), error).lexically_normal();
    if (error) {
        err << "\"" << typed << "\" cannot be made an absolute path: " << error.message() << '\n';
        return std::nullopt;
    }
    if (!fs::path(typed).has_filename() || fs::is_directory(typed, error) || fs::is_directory(path, error)) {
        err << "\"" << typed << "\" is a folder; image needs a FILE name, such as \""
            << (fs::path(typed) / "backup.img").lexically_normal().string() << "\".\n";
        return std::nullopt;
    }
    if (!fs::is_directory(path.parent_path(), error)) {
        err << "The folder of \"" << path.string() << "\" does not exist.\n";
        return std::nullopt;
    }
    return path.string();
}

} // namespace

int runImageCommand(CommandContext& context)
{
    const CommonOperationOptions common = takeCommonOptions(context.arguments);
    std::optional<MapChoice> mapChoice = takeMapChoice(context.arguments, context.err);
    if (!mapChoice)
        return kExitUsage;
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
    const std::optional<std::string> imagePath = imagePathOf(context.arguments[1], context.err);
    if (!imagePath)
        return kExitUsage;
    takeInventory(context);
    const std::vector<DriveChoice> entries = setupEntries();
    DeviceAccess& access = context.platform.devices();
    const std::optional<std::size_t> source = findEntry(entries, access, context.arguments[0]);
    if (!source) {
        reportUnknownDrive(context, "drive or volume", context.arguments[0]);
        ClearInventory();
        return kExitUsage;
    }
    // Only after the arguments, so that a mistyped one is reported as such first.
    const std::string logDirectory = chooseLogDirectory(context);
    if (logDirectory.empty()) {
        ClearInventory();
        return kExitFailed;
    }
    sourceName = entryRecord(*source).caption;
    const MappedDevice mappedSource = mappedDeviceOf(context.platform, entryRecord(*source));
    // An existing file is emptied first, so its room counts as free.
    std::error_code error;
    std::uint64_t freeBytes = access.freeSpace(*imagePath).value_or(0);
    const bool replaced = fs::is_regular_file(*imagePath, error);
    if (replaced) {
        const std::uintmax_t size = fs::file_size(*imagePath, error);
        if (!error)
            freeBytes += size;
    }

    ImagingRequest request{entries[*source], *imagePath, freeBytes};
    if (mapChoice->continues())
        request.continueExisting = [] { return true; };
    TerminalMessages messages(context.err, std::cin, common.assumeYes, isTerminal(StandardStream::Input));
    messages.setSummary(operationSummary({.source = describeEntry(entryRecord(*source), context.arguments[0]),
                                          .destination = describeImageFile(*imagePath, replaced)}));
    const bool started = setUpImaging(request, access, messages);
    ClearInventory();
    if (!started)
        return exitStatusAfterRefusal(messages);
    std::optional<MapSettings> map =
        mapSettingsFor(std::move(*mapChoice), mapHeaderOfSlots(mappedSource, mappedImageFile(*imagePath), true),
                       context.err);
    if (!map) {
        releaseOperationSlots();
        return kExitFailed;
    }

    return runPreparedOperation({true, false, common.quiet, logDirectory, common.verify, std::move(*map)}, context.out,
                                context.err);
}

} // namespace orvel::cli
