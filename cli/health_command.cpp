#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/health_output.h"
#include "cli/inventory_session.h"
#include "cli/operator_number.h"
#include "cli/subcommands.h"
#include "inventory/drive_inventory.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::cli {

// health DRIVE [--json]: one drive's temperature and S.M.A.R.T. attributes,
// read afresh as the drive health panel reads them. DRIVE is a number as
// `list` shows it, or the device path of a whole drive.
int runHealthCommand(CommandContext& context)
{
    bool json = false;
    std::vector<std::string> operands;
    for (const std::string& argument : context.arguments) {
        if (argument == "--json") {
            json = true;
        } else if (argument.starts_with("-")) {
            context.err << "Unknown option \"" << argument << "\" for health. See --help.\n";
            return kExitUsage;
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 1) {
        context.err << "health: give one drive, as a number that `list` shows. See --help.\n";
        return kExitUsage;
    }

    // Whatever names no listed drive is the operator's mistake, however it is spelt.
    const std::string& drive = operands.front();
    const std::optional<std::uint64_t> number =
        drive.starts_with("/") ? context.platform.devices().driveNumberOf(drive) : parseOperatorNumber(drive);
    const InventorySession session;
    if (number) {
        EnumeratePhysicalDrives(context.platform, true);
        for (const auto& candidate : physicalDrives) {
            if (candidate->diskIndex == *number) {
                context.out << (json ? formatHealthJson(*candidate) : formatHealthText(*candidate));
                return kExitCompleted;
            }
        }
    }
    reportUnknownDrive(context, "drive", drive);
    return kExitUsage;
}

} // namespace orvel::cli
