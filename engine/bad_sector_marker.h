#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvel {

// A 24-byte pattern written, overlapping every 16 bytes, in place of a sector
// that cannot be read, so that the gap is recognisable in the copy.
using MarkerRecord = std::array<std::uint8_t, 24>;

// "** BAD SECTORS **" and seven zero bytes: the forward pass's marker, and the
// reverse pass's when it does not read sectors again.
extern const MarkerRecord BadSectorMarker;

// "**BAD SECTORS**" and nine zero bytes: the reverse pass's marker for a
// sector whose last attempt failed.
extern const MarkerRecord RetriedBadSectorMarker;

// The fill limits: copies start at offsets 0, 16, 32, ... below the limit.
inline constexpr std::size_t kShortMarkerLimit = 496;
inline constexpr std::size_t kFullMarkerLimit = 512;

// Copies `record` to every 16-byte offset of `sector` below `limit`, each copy
// cut at the end of the sector. Bytes past the last copy are left as they are.
void fillMarker(std::span<std::uint8_t> sector, const MarkerRecord& record, std::size_t limit);

} // namespace orvel
