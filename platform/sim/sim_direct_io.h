#pragma once

#include <cstdint>

namespace orvel {

// The memory alignment a disk controller needs for a direct transfer; our
// own buffers (kDirectIoAlignment) exceed it.
inline constexpr std::uint64_t kSimBufferAlignment = 512;

// A direct transfer reaches the device only when it starts and ends on sector
// boundaries and its buffer is aligned; the system refuses anything else
// with EINVAL. The sector-size probe relies on exactly this.
inline bool meetsDirectIoRules(std::uint64_t offset, const void* buffer, std::uint32_t bytes, std::uint32_t sectorSize)
{
    return offset % sectorSize == 0 && bytes % sectorSize == 0
        && reinterpret_cast<std::uintptr_t>(buffer) % kSimBufferAlignment == 0;
}

// True when [offset, offset + bytes) lies inside a device of `length` bytes.
inline bool fitsInside(std::uint64_t offset, std::uint32_t bytes, std::uint64_t length)
{
    return offset <= length && bytes <= length - offset;
}

} // namespace orvel
