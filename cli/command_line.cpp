#include "cli/command_line.h"

#include "cli/command_context.h"
#include "platform/choose_platform.h"
#include "cli/subcommands.h"
#include "cli/usage.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

namespace {

struct Subcommand {
    std::string_view name;
    int (*run)(CommandContext&);
};

constexpr Subcommand kSubcommands[] = {
    {"clone", runCloneCommand},
    {"image", runImageCommand},
    {"list", runListCommand},
    {"health", runHealthCommand},
};

bool isHelpOrVersion(std::string_view argument)
{
    return argument == "--help" || argument == "-h" || argument == "--version";
}

// The options every subcommand takes, wherever they stand.
struct GlobalOptions {
    std::optional<std::string> demoScenario;  // empty text: the built-in set
    std::string logDirectory;
    bool help = false;
    bool version = false;
    std::vector<std::string> rest;
};

std::optional<GlobalOptions> parseGlobalOptions(std::span<char*> arguments, std::ostream& err)
{
    GlobalOptions options;
    for (std::size_t at = 1; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (argument == "--demo") {
            options.demoScenario = std::string();
        } else if (argument.starts_with("--demo=")) {
            options.demoScenario = std::string(argument.substr(7));
            if (options.demoScenario->empty()) {
                err << "--demo= needs a scenario folder\n";
                return std::nullopt;
            }
        } else if (argument == "--log-dir" || argument.starts_with("--log-dir=")) {
            if (argument == "--log-dir") {
                if (at + 1 >= arguments.size()) {
                    err << "--log-dir needs a folder\n";
                    return std::nullopt;
                }
                options.logDirectory = arguments[++at];
            } else {
                options.logDirectory = std::string(argument.substr(10));
            }
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else {
            options.rest.emplace_back(argument);
        }
    }
    return options;
}

} // namespace

bool isCommandLineInvocation(std::span<char*> arguments)
{
    for (std::size_t at = 1; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (isHelpOrVersion(argument))
            return true;
        if (argument == "--log-dir") {
            ++at;
            continue;
        }
        if (!argument.starts_with("-"))
            return true;
    }
    return false;
}

int runCommandLine(std::span<char*> arguments)
{
    const std::optional<GlobalOptions> options = parseGlobalOptions(arguments, std::cerr);
    if (!options)
        return kExitUsage;
    if (options->version) {
        std::cout << "Orvel Disk Image " << kProgramVersion << '\n';
        return kExitCompleted;
    }
    if (options->help || options->rest.empty()) {
        printUsage(options->help ? std::cout : std::cerr);
        return options->help ? kExitCompleted : kExitUsage;
    }

    const std::string& name = options->rest.front();
    const Subcommand* subcommand = nullptr;
    for (const Subcommand& candidate : kSubcommands) {
        if (candidate.name == name)
            subcommand = &candidate;
    }
    if (subcommand == nullptr) {
        std::cerr << "Unknown command \"" << name << "\". See --help.\n";
        return kExitUsage;
    }

    std::string error;
    std::unique_ptr<Platform> platform = choosePlatform(options->demoScenario, error);
    if (!platform) {
        std::cerr << error << '\n';
        return kExitFailed;
    }
    CommandContext context{*platform, {options->rest.begin() + 1, options->rest.end()}, std::cout, std::cerr,
                           options->logDirectory};
    return subcommand->run(context);
}

} // namespace orvel::cli
