#pragma once

#include "engine/rescue_map.h"

#include <optional>
#include <string>

namespace orvel {

// The map header of the operation the slots hold, from the sides as the
// starter knows them (kind, model, serial number; path for an image file);
// sizes, sector sizes and the range come from the opened devices. The
// source must be open; an image file destination need not be yet.
MapHeader mapHeaderOfSlots(MappedDevice source, MappedDevice destination, bool forward);

// Empty when a map with header `map` maps the operation `now`: the same
// source and destination and the same range, in either direction. Otherwise
// what differs, in words for the operator.
std::string mapMismatch(const MapHeader& map, const MapHeader& now);

// The share of the range a map has finished or marked, in whole percent.
int percentDone(const RescueMap& map);

// The newest map in `folder` of an operation like `now`, when that one did
// not finish.
struct FoundMap {
    std::string path;
    RescueMap map;
};
std::optional<FoundMap> findUnfinishedMap(const std::string& folder, const MapHeader& now);

} // namespace orvel
