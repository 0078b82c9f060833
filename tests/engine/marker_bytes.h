#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orvel::test {

// What a marked destination sector must hold, spelled out byte by byte
// rather than taken from the engine's own records.
inline std::vector<std::uint8_t> repeatedText(const std::string& text, std::size_t times, std::size_t sectorSize)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < times; ++i)
        bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.resize(sectorSize, 0);
    return bytes;
}

// Retries used up (forward): "** BAD SECTORS *" over the first 512 bytes,
// and for a larger sector '*' at byte 512.
inline std::vector<std::uint8_t> fullMarkerSector(std::size_t sectorSize)
{
    std::vector<std::uint8_t> bytes = repeatedText("** BAD SECTORS *", 32, sectorSize);
    if (sectorSize > 512)
        bytes[512] = '*';
    return bytes;
}

// No retries: "** BAD SECTORS *" 31 times, '*', zeros from byte 497 on.
inline std::vector<std::uint8_t> shortMarkerSector(std::size_t sectorSize)
{
    std::vector<std::uint8_t> bytes = repeatedText("** BAD SECTORS *", 31, sectorSize);
    bytes[496] = '*';
    return bytes;
}

// Retries used up (reverse): "**BAD SECTORS**" and a zero byte 31 times, zeros from byte 496 on.
inline std::vector<std::uint8_t> retriedReverseMarkerSector(std::size_t sectorSize)
{
    return repeatedText(std::string("**BAD SECTORS**\0", 16), 31, sectorSize);
}

} // namespace orvel::test
