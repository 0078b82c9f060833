// A rescue map file, as left on disk by an earlier run, by ddrescue or by a
// hand that edited it. Input: the file's text.
#include "engine/rescue_map.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using orvel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    const std::string_view text(reinterpret_cast<const char*>(input), size);
    const ParsedMap parsed = parseMapText(text);
    if (!parsed.map) {
        require(parsed.error.starts_with("line ") && parsed.error.find(": ") != std::string::npos,
                "a refusal names its line");
        return 0;
    }
    require(parsed.error.empty(), "an accepted map has no error");

    const RescueMap& map = *parsed.map;
    const std::uint64_t sectorSize = map.header().source.sectorSize;
    require(sectorSize > 0, "an accepted map has a sector size");
    std::uint64_t next = map.domainBegin();
    std::uint64_t totals[5] = {};
    const MapStatus statuses[] = {MapStatus::NonTried, MapStatus::NonTrimmed, MapStatus::NonScraped,
                                  MapStatus::BadSector, MapStatus::Finished};
    const MapExtent* previous = nullptr;
    for (const MapExtent& extent : map.extents()) {
        require(extent.pos == next && extent.size > 0, "the stretches tile the range in order");
        require(extent.pos % sectorSize == 0 && extent.size % sectorSize == 0, "the stretches are whole sectors");
        require(previous == nullptr || previous->status != extent.status, "neighbours differ in status");
        for (std::size_t i = 0; i < 5; ++i)
            totals[i] += statuses[i] == extent.status ? extent.size : 0;
        next = extent.pos + extent.size;
        previous = &extent;
    }
    require(next == map.domainEnd(), "the stretches cover the whole range");
    for (std::size_t i = 0; i < 5; ++i)
        require(map.bytesWith(statuses[i]) == totals[i], "the totals agree with the stretches");

    // What the program writes for the map reads back as the same map.
    const ParsedMap again = parseMapText(mapText(map));
    require(again.map.has_value(), "a map's own text is accepted");
    const MapHeader& header = map.header();
    const MapHeader& read = again.map->header();
    require(read.source == header.source && read.destination == header.destination &&
                read.startSector == header.startSector && read.sectorCount == header.sectorCount &&
                read.destinationStartSector == header.destinationStartSector && read.forward == header.forward,
            "the identification reads back the same");
    require(again.map->extents() == map.extents() && again.map->currentPos == map.currentPos,
            "the stretches and the current position read back the same");
    return 0;
}
