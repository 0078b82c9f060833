#include "engine/map_plan.h"

#include "engine/copy_steps.h"
#include "engine/operation_slots.h"

#include <filesystem>
#include <utility>

namespace orvel {

namespace {

std::string sideMismatch(const char* side, const MappedDevice& map, const MappedDevice& now)
{
    const std::string name(side);
    if (map.kind != now.kind)
        return "The map's " + name + " is another kind of device.";
    if (map.kind == MappedDevice::Kind::ImageFile) {
        if (map.path != now.path)
            return "The map's " + name + " is the image file " + map.path + ".";
        return {};
    }
    if (map.model != now.model || map.serial != now.serial)
        return "The map's " + name + " is another drive (" + map.model + ", serial number " + map.serial + ").";
    if (map.sizeBytes != now.sizeBytes || map.sectorSize != now.sectorSize)
        return "The map's " + name + " has another size or sector size.";
    return {};
}

std::uint64_t lengthOf(const DiskDevice& device)
{
    std::uint64_t length = 0;
    if (device.handle != nullptr)
        device.handle->queryLength(length);
    return length;
}

} // namespace

MapHeader mapHeaderOfSlots(MappedDevice source, MappedDevice destination, bool forward)
{
    MapHeader header;
    const DiskDevice& from = *sourceDevice;
    source.sectorSize = copySectorBytes(from);
    source.sizeBytes = lengthOf(from);
    // An imaging asks before its file is opened: only its path counts then.
    const DiskDevice* to = destinationDevice.get();
    if (to != nullptr && destination.kind != MappedDevice::Kind::ImageFile) {
        destination.sectorSize = to->sectorSize;
        destination.sizeBytes = lengthOf(*to);
    }
    header.source = std::move(source);
    header.destination = std::move(destination);
    header.startSector = from.startSector;
    header.sectorCount = from.endSector - from.startSector;
    header.destinationStartSector = to != nullptr ? to->startSector : 0;
    header.forward = forward;
    return header;
}

std::string mapMismatch(const MapHeader& map, const MapHeader& now)
{
    if (std::string text = sideMismatch("source", map.source, now.source); !text.empty())
        return text;
    if (std::string text = sideMismatch("destination", map.destination, now.destination); !text.empty())
        return text;
    if (map.startSector != now.startSector || map.sectorCount != now.sectorCount ||
        map.destinationStartSector != now.destinationStartSector)
        return "The map is of another range: sectors " + std::to_string(map.startSector) + " to " +
               std::to_string(map.startSector + map.sectorCount - 1) + " onto destination sector " +
               std::to_string(map.destinationStartSector) + ".";
    return {};
}

int percentDone(const RescueMap& map)
{
    const std::uint64_t domain = map.domainEnd() - map.domainBegin();
    if (domain == 0)
        return 100;
    const std::uint64_t done = map.bytesWith(MapStatus::Finished) + map.bytesWith(MapStatus::BadSector);
    return static_cast<int>(done * 100 / domain);
}

std::optional<FoundMap> findUnfinishedMap(const std::string& folder, const MapHeader& now)
{
    namespace fs = std::filesystem;
    std::optional<FoundMap> found;
    fs::file_time_type newest{};
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() != ".map" || !entry.is_regular_file(error))
            continue;
        ParsedMap parsed = loadMap(entry.path().string());
        if (!parsed.map || !mapMismatch(parsed.map->header(), now).empty())
            continue;
        const fs::file_time_type written = entry.last_write_time(error);
        if (found && written <= newest)
            continue;
        newest = written;
        found = FoundMap{entry.path().string(), std::move(*parsed.map)};
    }
    // Only the newest map of the operation counts: an older one that stopped
    // half way was overtaken by a later run from the beginning.
    if (found && found->map.finished())
        return std::nullopt;
    return found;
}

} // namespace orvel
