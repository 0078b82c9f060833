#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/map_arguments.h"
#include "cli/operation_arguments.h"
#include "cli/operation_runner.h"
#include "cli/operation_summary.h"
#include "cli/operator_number.h"
#include "cli/subcommands.h"
#include "engine/map_plan.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "inventory/mapped_device.h"
#include "platform/terminal.h"

#include <array>
#include <iostream>
#include <ostream>

namespace orvel::cli {

namespace {

constexpr std::uint64_t kMostRetries = 100;

struct CloneArguments {
    std::string source;
    std::string destination;
    AreaMode mode = AreaMode::WholeArea;
    // A range's numbers as typed (the set-up checks read the text, as the
    // panel's fields give it) and as read here.
    std::array<std::string, 3> rangeTexts;
    std::array<std::uint64_t, 3> rangeNumbers{};
    std::int32_t retries = 2;
};

bool refuseNumber(std::ostream& err, std::string_view option, const std::string& text, std::string_view range)
{
    err << option << ": \"" << text << "\" is not a whole number " << range
        << " (digits only: no sign, separator, suffix or blank).\n";
    return false;
}

bool readRange(const std::vector<std::string>& arguments, std::size_t& at, CloneArguments& parsed, std::ostream& err)
{
    if (at + 3 >= arguments.size()) {
        err << "--range needs SOURCE_START DEST_START COUNT\n";
        return false;
    }
    for (std::size_t field = 0; field < 3; ++field) {
        const std::string& text = arguments[++at];
        const std::optional<std::uint64_t> number = parseOperatorNumber(text);
        if (!number)
            return refuseNumber(err, "--range", text, "from 0 to 9223372036854775807");
        parsed.rangeTexts[field] = text;
        parsed.rangeNumbers[field] = *number;
    }
    if (parsed.rangeNumbers[2] == 0) {
        err << "--range: a COUNT of 0 copies nothing; give 1 or more sectors.\n";
        return false;
    }
    return true;
}

bool readRetries(const std::vector<std::string>& arguments, std::size_t& at, CloneArguments& parsed, std::ostream& err)
{
    if (at + 1 >= arguments.size()) {
        err << "--retries needs a number from 0 to 100\n";
        return false;
    }
    const std::string& text = arguments[++at];
    const std::optional<std::uint64_t> number = parseOperatorNumber(text);
    if (!number || *number > kMostRetries)
        return refuseNumber(err, "--retries", text, "from 0 to 100");
    parsed.retries = static_cast<std::int32_t>(*number);
    return true;
}

std::optional<CloneArguments> parseCloneArguments(const std::vector<std::string>& arguments, std::ostream& err)
{
    CloneArguments parsed;
    std::vector<std::string> positional;
    bool range = false;
    bool reverse = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (argument == "--range") {
            if (!readRange(arguments, at, parsed, err))
                return std::nullopt;
            range = true;
        } else if (argument == "--reverse") {
            reverse = true;
        } else if (argument == "--retries") {
            if (!readRetries(arguments, at, parsed, err))
                return std::nullopt;
        } else if (argument.starts_with("-")) {
            err << "Unknown option \"" << argument << "\" for clone. See --help.\n";
            return std::nullopt;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2) {
        err << "clone needs SOURCE and DEST. See --help.\n";
        return std::nullopt;
    }
    if (range && reverse) {
        err << "--range and --reverse cannot go together: a reverse clone copies the whole source.\n";
        return std::nullopt;
    }
    parsed.source = positional[0];
    parsed.destination = positional[1];
    parsed.mode = range ? AreaMode::Range : reverse ? AreaMode::Reverse : AreaMode::WholeArea;
    return parsed;
}

OperationPlan planOf(const CloneArguments& arguments, std::size_t source, std::size_t destination)
{
    const DriveInfo& to = entryRecord(destination);
    return {.source = describeEntry(entryRecord(source), arguments.source),
            .destination = describeEntry(to, arguments.destination),
            .destinationIsDrive = to.isPhysical,
            .mode = arguments.mode,
            .sourceStart = arguments.rangeNumbers[0],
            .destinationStart = arguments.rangeNumbers[1],
            .count = arguments.rangeNumbers[2]};
}

} // namespace

int runCloneCommand(CommandContext& context)
{
    const CommonOperationOptions common = takeCommonOptions(context.arguments);
    std::optional<MapChoice> mapChoice = takeMapChoice(context.arguments, context.err);
    if (!mapChoice)
        return kExitUsage;
    const std::optional<CloneArguments> arguments = parseCloneArguments(context.arguments, context.err);
    if (!arguments)
        return kExitUsage;
    takeInventory(context);
    const std::vector<DriveChoice> entries = setupEntries();
    DeviceAccess& access = context.platform.devices();
    const std::optional<std::size_t> source = findEntry(entries, access, arguments->source);
    const std::optional<std::size_t> destination = findEntry(entries, access, arguments->destination);
    for (const auto& [found, name] : {std::pair{source, arguments->source}, {destination, arguments->destination}}) {
        if (!found) {
            reportUnknownDrive(context, "drive or volume", name);
            ClearInventory();
            return kExitUsage;
        }
    }
    // Only after the arguments, so that a mistyped one is reported as such first.
    const std::string logDirectory = chooseLogDirectory(context);
    if (logDirectory.empty()) {
        ClearInventory();
        return kExitFailed;
    }
    sourceName = entryRecord(*source).caption;
    destinationName = entryRecord(*destination).caption;
    const auto [mappedSource, mappedDestination] =
        mappedDevicesOf(context.platform, entryRecord(*source), entryRecord(*destination));

    CloneRequest request{entries,
                         source,
                         destination,
                         arguments->mode,
                         arguments->rangeTexts[0],
                         arguments->rangeTexts[1],
                         arguments->rangeTexts[2],
                         arguments->retries};
    TerminalMessages messages(context.err, std::cin, common.assumeYes, isTerminal(StandardStream::Input));
    messages.setSummary(operationSummary(planOf(*arguments, *source, *destination)));
    const CloneStart start = setUpClone(request, access, messages);
    ClearInventory();
    if (!start.started)
        return exitStatusAfterRefusal(messages);
    std::optional<MapSettings> map = mapSettingsFor(
        std::move(*mapChoice), mapHeaderOfSlots(mappedSource, mappedDestination, start.forwardCopy), context.err);
    if (!map) {
        releaseOperationSlots();
        return kExitFailed;
    }

    return runPreparedOperation({start.forwardCopy, true, common.quiet, logDirectory, common.verify, std::move(*map)},
                                context.out, context.err);
}

} // namespace orvel::cli
