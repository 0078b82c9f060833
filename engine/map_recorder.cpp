#include "engine/map_recorder.h"

#include <utility>

namespace orvel {

MapRecorder::MapRecorder(RescueMap& map, std::string path)
    : map_(map), path_(std::move(path)), lastSave_(std::chrono::steady_clock::now())
{
}

void MapRecorder::finished(std::uint64_t firstSector, std::uint64_t count)
{
    map_.markSectors(firstSector, count, MapStatus::Finished);
    map_.currentPos = firstSector * map_.header().source.sectorSize;
    saveIfDue();
}

void MapRecorder::bad(std::uint64_t sector)
{
    map_.markSectors(sector, 1, MapStatus::BadSector);
    map_.currentPos = sector * map_.header().source.sectorSize;
    saveIfDue();
}

void MapRecorder::saveIfDue()
{
    if (std::chrono::steady_clock::now() - lastSave_ >= kSaveInterval)
        save();
}

bool MapRecorder::save()
{
    lastSave_ = std::chrono::steady_clock::now();
    return saveMap(map_, path_);
}

} // namespace orvel
