#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// An unsigned 128-bit number, as the NVMe health log keeps its counters. No
// arithmetic beyond what showing one needs: a drive's counter is shown, never
// computed with.
struct UInt128 {
    std::uint64_t low = 0;
    std::uint64_t high = 0;

    friend bool operator==(const UInt128&, const UInt128&) = default;
};

// The number in decimal, without separators or leading zeros ("0" for zero).
std::string decimalText(UInt128 number);

// The nearest double; exact up to 2^53.
double toDouble(UInt128 number);

} // namespace orvel
