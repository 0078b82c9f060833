#include "platform/zero_runs.h"

#include <cstring>

namespace orvel {

bool isAllZero(const void* bytes, std::size_t length)
{
    // Eight words at a time, ORed together: the compiler turns it into vector
    // loads, and the check still ends at the first 64 bytes that hold data.
    const auto* at = static_cast<const unsigned char*>(bytes);
    constexpr std::size_t kStride = 8 * sizeof(std::uint64_t);
    for (; length >= kStride; at += kStride, length -= kStride) {
        std::uint64_t words[8];
        std::memcpy(words, at, kStride);
        std::uint64_t any = 0;
        for (const std::uint64_t word : words)
            any |= word;
        if (any != 0)
            return false;
    }
    for (; length > 0; ++at, --length) {
        if (*at != 0)
            return false;
    }
    return true;
}

} // namespace orvel
