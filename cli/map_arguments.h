#pragma once

#include "engine/copy_worker.h"
#include "engine/rescue_map.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

// What --resume MAP or --retry-bad MAP asked for; a first run otherwise.
struct MapChoice {
    MapSettings::Run run = MapSettings::Run::First;
    std::string path;
    std::optional<RescueMap> loaded;

    bool continues() const { return run != MapSettings::Run::First; }
};

// Takes --resume MAP and --retry-bad MAP out of `arguments` and reads the
// map, before any question is asked. Nullopt, with the reason on `err`,
// when the option lacks its file, both are given, or the map cannot be
// read or is not a map (its line named).
std::optional<MapChoice> takeMapChoice(std::vector<std::string>& arguments, std::ostream& err);

// The worker's map settings for the operation the slots now hold. For a
// map that was loaded, the operation must be the one it maps: otherwise
// nullopt, with the reason on `err`, and nothing has been written.
std::optional<MapSettings> mapSettingsFor(MapChoice choice, const MapHeader& now, std::ostream& err);

} // namespace orvel::cli
