#include "cli/command_line.h"
#include "cli/health_output.h"
#include "cli/inventory_session.h"
#include "cli/subcommands.h"
#include "inventory/drive_inventory.h"

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::cli {

namespace {

std::optional<std::uint64_t> parseNumber(const std::string& text)
{
    // 19 digits always fit in 64 bits.
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return number;
}

} // namespace

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
            context.err << "health: unknown option \"" << argument << "\". See --help.\n";
            return kExitUsage;
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 1) {
        context.err << "health: give one drive, as a number that `list` shows. See --help.\n";
        return kExitUsage;
    }

    const std::string& drive = operands.front();
    const std::optional<std::uint64_t> number =
        drive.starts_with("/") ? context.platform.devices().driveNumberOf(drive) : parseNumber(drive);
    if (!number) {
        context.err << "health: \"" << drive << "\" is not a drive number or the path of a whole drive.\n";
        return drive.starts_with("/") ? kExitFailed : kExitUsage;
    }

    const InventorySession session;
    EnumeratePhysicalDrives(context.platform, true);
    for (const auto& candidate : physicalDrives) {
        if (candidate->diskIndex == *number) {
            context.out << (json ? formatHealthJson(*candidate) : formatHealthText(*candidate));
            return kExitCompleted;
        }
    }
    context.err << "health: there is no drive " << *number << ". `list` shows the drive numbers.\n";
    return kExitFailed;
}

} // namespace orvel::cli
