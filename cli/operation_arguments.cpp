#include "cli/operation_arguments.h"

#include "cli/command_line.h"
#include "inventory/drive_inventory.h"

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace orvel::cli {

CommonOperationOptions takeCommonOptions(std::vector<std::string>& arguments)
{
    CommonOperationOptions options;
    std::erase_if(arguments, [&](const std::string& argument) {
        if (argument == "--yes" || argument == "-y")
            return options.assumeYes = true;
        if (argument == "--quiet" || argument == "-q")
            return options.quiet = true;
        if (argument == "--verify")
            return options.verify = true;
        return false;
    });
    return options;
}

std::string chooseLogDirectory(CommandContext& context)
{
    // The log's path is printed at the end and read later from anywhere.
    if (!context.logDirectory.empty()) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(context.logDirectory, error);
        return error ? context.logDirectory : absolute.lexically_normal().string();
    }
    std::string directory = context.platform.system().logDirectory();
    if (directory.empty())
        context.err << "No folder for the operation's log could be made; choose one with --log-dir.\n";
    return directory;
}

int exitStatusAfterRefusal(const TerminalMessages& messages)
{
    if (messages.declined())
        return kExitCancelled;
    return messages.errorShown() ? kExitFailed : kExitUsage;
}

void takeInventory(CommandContext& context)
{
    EnumeratePhysicalDrives(context.platform, false);
    if (const std::optional<InventoryNotice> notice = EnumerateVolumes(context.platform))
        context.err << notice->caption << ": " << notice->text << '\n';
}

} // namespace orvel::cli
