#include "engine/bad_sector_marker.h"

#include <algorithm>
#include <string_view>

namespace orvel {

namespace {

constexpr MarkerRecord markerRecord(std::string_view text)
{
    MarkerRecord record{};
    std::copy(text.begin(), text.end(), record.begin());
    return record;
}

constexpr std::size_t kMarkerStep = 16;

} // namespace

const MarkerRecord BadSectorMarker = markerRecord("** BAD SECTORS **");
const MarkerRecord RetriedBadSectorMarker = markerRecord("**BAD SECTORS**");

void fillMarker(std::span<std::uint8_t> sector, const MarkerRecord& record, std::size_t limit)
{
    for (std::size_t offset = 0; offset < limit && offset < sector.size(); offset += kMarkerStep) {
        const std::size_t length = std::min(record.size(), sector.size() - offset);
        std::copy_n(record.begin(), length, sector.begin() + static_cast<std::ptrdiff_t>(offset));
    }
}

} // namespace orvel
