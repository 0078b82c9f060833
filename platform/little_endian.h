#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace orvel {

// Numbers as drives and the system's structures store them: least
// significant byte first, whatever the machine's own order.
template <typename Number>
Number readLittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    std::uint64_t value = 0;
    for (std::size_t at = sizeof(Number); at-- > 0;)
        value = (value << 8) | bytes[offset + at];
    return static_cast<Number>(value);
}

template <typename Number>
void putLittleEndian(std::span<std::uint8_t> bytes, std::size_t offset, Number value)
{
    for (std::size_t at = 0; at < sizeof(Number); ++at)
        bytes[offset + at] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * at));
}

} // namespace orvel
