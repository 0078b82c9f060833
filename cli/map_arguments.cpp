#include "cli/map_arguments.h"

#include "engine/map_plan.h"

#include <filesystem>
#include <ostream>
#include <utility>

namespace orvel::cli {

std::optional<MapChoice> takeMapChoice(std::vector<std::string>& arguments, std::ostream& err)
{
    MapChoice choice;
    for (std::size_t at = 0; at < arguments.size();) {
        const std::string& option = arguments[at];
        const bool resume = option == "--resume";
        if (!resume && option != "--retry-bad") {
            ++at;
            continue;
        }
        if (at + 1 >= arguments.size() || arguments[at + 1].empty()) {
            err << option << " needs the MAP file of the earlier run.\n";
            return std::nullopt;
        }
        if (choice.continues()) {
            err << "--resume and --retry-bad go one at a time: resume first, then retry the bad sectors.\n";
            return std::nullopt;
        }
        choice.run = resume ? MapSettings::Run::Resume : MapSettings::Run::RetryBad;
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(arguments[at + 1], error);
        choice.path = error ? arguments[at + 1] : path.lexically_normal().string();
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(at),
                        arguments.begin() + static_cast<std::ptrdiff_t>(at + 2));
    }
    if (!choice.continues())
        return choice;
    ParsedMap parsed = loadMap(choice.path);
    if (!parsed.map) {
        err << "Cannot use the map " << choice.path << ": " << parsed.error << '\n';
        return std::nullopt;
    }
    choice.loaded = std::move(parsed.map);
    return choice;
}

std::optional<MapSettings> mapSettingsFor(MapChoice choice, const MapHeader& now, std::ostream& err)
{
    if (!choice.continues())
        return MapSettings{MapSettings::Run::First, RescueMap(now), {}};
    if (const std::string mismatch = mapMismatch(choice.loaded->header(), now); !mismatch.empty()) {
        err << "The map " << choice.path << " is not of this operation. " << mismatch << " Nothing was written.\n";
        return std::nullopt;
    }
    return MapSettings{choice.run, std::move(choice.loaded), std::move(choice.path)};
}

} // namespace orvel::cli
