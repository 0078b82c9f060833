#include "shell/application_options.h"

#include <string_view>

namespace orvel {

ParsedApplicationOptions parseApplicationOptions(const std::vector<std::string>& arguments)
{
    constexpr std::string_view kDemoWithFolder = "--demo=";
    constexpr std::string_view kLogDirWithFolder = "--log-dir=";

    ApplicationOptions options;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (argument == "--demo") {
            options.demoScenario = std::string();
        } else if (argument.starts_with(kDemoWithFolder)) {
            options.demoScenario = std::string(argument.substr(kDemoWithFolder.size()));
            if (options.demoScenario->empty())
                return {std::nullopt, "--demo= needs a scenario folder"};
        } else if (argument == "--log-dir") {
            if (at + 1 >= arguments.size() || arguments[at + 1].empty())
                return {std::nullopt, "--log-dir needs a folder"};
            options.logDirectory = arguments[++at];
        } else if (argument.starts_with(kLogDirWithFolder)) {
            options.logDirectory = std::string(argument.substr(kLogDirWithFolder.size()));
            if (options.logDirectory->empty())
                return {std::nullopt, "--log-dir needs a folder"};
        } else {
            return {std::nullopt, "Unknown option \"" + std::string(argument) + "\". See --help."};
        }
    }
    return {options, {}};
}

} // namespace orvel
