#pragma once

#include "engine/rescue_map.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace orvel {

// Keeps a run's rescue map up to date as the loops copy, and on disk at
// least every kSaveInterval, so that a run killed outright leaves a map no
// more than that behind what is on the destination.
class MapRecorder {
public:
    static constexpr std::chrono::seconds kSaveInterval{30};

    MapRecorder(RescueMap& map, std::string path);

    RescueMap& map() { return map_; }
    const std::string& path() const { return path_; }

    // Sectors of the source now on the destination. Each call also moves the
    // map's current position, for its status line.
    void finished(std::uint64_t firstSector, std::uint64_t count);
    // A sector no read of this run could read; its marker is on the destination.
    void bad(std::uint64_t sector);

    // Saves the map when the last save is older than kSaveInterval.
    void saveIfDue();
    bool save();

private:
    RescueMap& map_;
    std::string path_;
    std::chrono::steady_clock::time_point lastSave_;
};

} // namespace orvel
