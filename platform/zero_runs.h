#pragma once

#include "platform/device_access.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace orvel {

// Image files are written sparse in pieces of this size: small enough that
// the free space between a file system's data becomes holes, large enough
// that a block of data is still one write.
inline constexpr std::uint32_t kZeroRunPiece = 1u << 20;

// Whether every byte is zero. Stops at the first word that is not, which in
// a block of data is almost always the first.
bool isAllZero(const void* bytes, std::size_t length);

// Splits `length` bytes into runs of whole pieces that are all zeros or hold
// data, each piece looked at once, and hands each run in order to
// `write(start, runLength, zeros)` (start counted from `bytes`). Stops at the
// first run whose result is not ok and returns that result.
template <typename WriteRun>
IoResult forEachZeroRun(const std::uint8_t* bytes, std::uint32_t length, WriteRun write)
{
    std::uint32_t runStart = 0;
    bool runZeros = false;
    for (std::uint32_t at = 0; at < length; at += kZeroRunPiece) {
        const bool zeros = isAllZero(bytes + at, std::min(kZeroRunPiece, length - at));
        if (at == 0) {
            runZeros = zeros;
        } else if (zeros != runZeros) {
            if (const IoResult result = write(runStart, at - runStart, runZeros); !result.ok)
                return result;
            runStart = at;
            runZeros = zeros;
        }
    }
    return write(runStart, length - runStart, runZeros);
}

} // namespace orvel
