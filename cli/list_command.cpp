#include "cli/command_line.h"
#include "cli/inventory_session.h"
#include "cli/list_output.h"
#include "cli/subcommands.h"
#include "inventory/drive_inventory.h"

#include <optional>
#include <ostream>

namespace orvel::cli {

// list [--json]: the drives and volumes the desktop program offers. Exits 1
// when the volume list could not be had, so that a script does not take the
// rest for the whole picture.
int runListCommand(CommandContext& context)
{
    bool json = false;
    for (const std::string& argument : context.arguments) {
        if (argument != "--json") {
            context.err << (argument.starts_with("-") ? "Unknown option \"" : "Unexpected argument \"") << argument
                        << "\" for list. See --help.\n";
            return kExitUsage;
        }
        json = true;
    }

    const InventorySession session;
    EnumeratePhysicalDrives(context.platform, true);
    const std::optional<InventoryNotice> notice = EnumerateVolumes(context.platform);
    if (notice)
        context.err << notice->caption << ": " << notice->text << '\n';

    context.out << (json ? formatDriveListJson(physicalDrives, volumes) : formatDriveListText(physicalDrives, volumes));
    return notice ? kExitFailed : kExitCompleted;
}

} // namespace orvel::cli
