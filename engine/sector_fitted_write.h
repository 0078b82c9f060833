#pragma once

#include "platform/device_access.h"

#include <cstdint>
#include <span>

namespace orvel {

// Writes `bytes` from `buffer` at byte `offset` of a device whose sectors
// (the size of `sector`) are larger than the units the copy moves, so that a
// write may begin or end inside one of them. Such a sector is read into
// `sector` (an aligned one-sector buffer), the copied part replaced and the
// whole sector written back: its bytes outside the write keep their values.
// Whole sectors go in one write straight from `buffer` when its memory there
// is aligned for direct I/O. Stops at the first failed transfer.
IoResult writeFittedToSectors(DeviceHandle& handle, std::span<std::uint8_t> sector, std::uint64_t offset,
                              const std::uint8_t* buffer, std::uint32_t bytes);

} // namespace orvel
