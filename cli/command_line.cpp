#include "cli/command_line.h"

#include "cli/command_context.h"
#include "cli/subcommands.h"
#include "cli/usage.h"
#include "platform/choose_platform.h"

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
    {"restore", runRestoreCommand},
    {"verify", runVerifyCommand},
    {"list", runListCommand},
    {"health", runHealthCommand},
};

// The options every subcommand takes, wherever they stand.
struct GlobalOptions {
    std::optional<std::string> demoScenario;  // empty text: the built-in set
    std::string demoArgument;                 // as given, for hints that repeat it
    std::string logDirectory;
    bool help = false;
    bool version = false;
    std::vector<std::string> rest;
};

struct ParsedGlobalOptions {
    std::optional<GlobalOptions> options;  // none when the arguments are refused
    std::string error;                     // then why
};

ParsedGlobalOptions parseGlobalOptions(std::span<char*> arguments)
{
    constexpr std::string_view kDemoWithFolder = "--demo=";
    constexpr std::string_view kLogDirWithFolder = "--log-dir=";
    GlobalOptions options;
    for (std::size_t at = 1; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (argument == "--demo") {
            options.demoScenario = std::string();
            options.demoArgument = argument;
        } else if (argument.starts_with(kDemoWithFolder)) {
            options.demoScenario = std::string(argument.substr(kDemoWithFolder.size()));
            options.demoArgument = argument;
            if (options.demoScenario->empty())
                return {std::nullopt, "--demo= needs a scenario folder"};
        } else if (argument == "--log-dir") {
            if (at + 1 >= arguments.size() || std::string_view(arguments[at + 1]).empty())
                return {std::nullopt, "--log-dir needs a folder"};
            options.logDirectory = arguments[++at];
        } else if (argument.starts_with(kLogDirWithFolder)) {
            options.logDirectory = std::string(argument.substr(kLogDirWithFolder.size()));
            if (options.logDirectory.empty())
                return {std::nullopt, "--log-dir needs a folder"};
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else {
            options.rest.emplace_back(argument);
        }
    }
    return {options, {}};
}

const Subcommand* subcommandNamed(std::string_view name)
{
    for (const Subcommand& candidate : kSubcommands) {
        if (candidate.name == name)
            return &candidate;
    }
    return nullptr;
}

} // namespace

// Only the desktop program's own options, rightly given, start it: anything
// else is answered here, without Qt, which cannot start where there is no
// display (a rescue over SSH).
bool isCommandLineInvocation(std::span<char*> arguments)
{
    const ParsedGlobalOptions parsed = parseGlobalOptions(arguments);
    return !parsed.options || parsed.options->help || parsed.options->version || !parsed.options->rest.empty();
}

int runCommandLine(std::span<char*> arguments)
{
    const ParsedGlobalOptions parsed = parseGlobalOptions(arguments);
    if (!parsed.options) {
        std::cerr << parsed.error << '\n';
        return kExitUsage;
    }
    const GlobalOptions& options = *parsed.options;
    if (options.version) {
        std::cout << "Orvel Disk Image " << kProgramVersion << '\n';
        return kExitCompleted;
    }
    if (options.help || options.rest.empty()) {
        printUsage(options.help ? std::cout : std::cerr);
        return options.help ? kExitCompleted : kExitUsage;
    }

    const std::string& name = options.rest.front();
    const Subcommand* subcommand = subcommandNamed(name);
    if (subcommand == nullptr) {
        std::cerr << (name.starts_with("-") ? "Unknown option \"" : "Unknown command \"") << name
                  << "\". See --help.\n";
        return kExitUsage;
    }

    std::string error;
    std::unique_ptr<Platform> platform = choosePlatform(options.demoScenario, error);
    if (!platform) {
        std::cerr << error << '\n';
        return kExitFailed;
    }
    CommandContext context{*platform, {options.rest.begin() + 1, options.rest.end()}, std::cout, std::cerr,
                           options.logDirectory, options.demoArgument};
    return subcommand->run(context);
}

} // namespace orvel::cli
