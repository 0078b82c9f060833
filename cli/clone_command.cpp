#include "cli/command_line.h"
#include "cli/drive_arguments.h"
#include "cli/operation_arguments.h"
#include "cli/operation_runner.h"
#include "cli/subcommands.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "platform/terminal.h"

#include <iostream>
#include <ostream>

namespace orvel::cli {

namespace {

struct CloneArguments {
    std::string source;
    std::string destination;
    AreaMode mode = AreaMode::WholeArea;
    std::string sourceStart;
    std::string destinationStart;
    std::string count;
    std::int32_t retries = 2;
};

bool isCount(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
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
            if (at + 3 >= arguments.size()) {
                err << "--range needs SOURCE_START DEST_START COUNT\n";
                return std::nullopt;
            }
            parsed.sourceStart = arguments[++at];
            parsed.destinationStart = arguments[++at];
            parsed.count = arguments[++at];
            range = true;
        } else if (argument == "--reverse") {
            reverse = true;
        } else if (argument == "--retries") {
            if (at + 1 >= arguments.size() || !isCount(arguments[at + 1]) || arguments[at + 1].size() > 3
                || std::stoi(arguments[at + 1]) > 100) {
                err << "--retries needs a number from 0 to 100\n";
                return std::nullopt;
            }
            parsed.retries = std::stoi(arguments[++at]);
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

} // namespace

int runCloneCommand(CommandContext& context)
{
    const CommonOperationOptions common = takeCommonOptions(context.arguments);
    const std::optional<CloneArguments> arguments = parseCloneArguments(context.arguments, context.err);
    if (!arguments)
        return kExitUsage;
    const std::string logDirectory = chooseLogDirectory(context);
    if (logDirectory.empty())
        return kExitFailed;

    takeInventory(context);
    const std::vector<DriveChoice> entries = setupEntries();
    DeviceAccess& access = context.platform.devices();
    const std::optional<std::size_t> source = findEntry(entries, access, arguments->source);
    const std::optional<std::size_t> destination = findEntry(entries, access, arguments->destination);
    for (const auto& [found, name] : {std::pair{source, arguments->source}, {destination, arguments->destination}}) {
        if (!found) {
            context.err << "No drive or volume \"" << name << "\"; \"orvel-disk-image list\" shows them.\n";
            ClearInventory();
            return kExitUsage;
        }
    }
    sourceName = entryCaption(*source);
    destinationName = entryCaption(*destination);

    CloneRequest request{entries, source, destination, arguments->mode, arguments->sourceStart,
                         arguments->destinationStart, arguments->count, arguments->retries};
    TerminalMessages messages(context.err, std::cin, common.assumeYes, isTerminal(StandardStream::Input));
    const CloneStart start = setUpClone(request, access, messages);
    ClearInventory();
    if (!start.started)
        return exitStatusAfterRefusal(messages);

    return runPreparedOperation({start.forwardCopy, true, common.quiet, logDirectory}, context.out, context.err);
}

} // namespace orvel::cli
