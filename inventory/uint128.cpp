#include "inventory/uint128.h"

#include <algorithm>
#include <array>

namespace orvel {

std::string decimalText(UInt128 number)
{
    // Long division by ten over four 32-bit limbs, most significant first:
    // each step's remainder and next limb fit in 64 bits.
    std::array<std::uint32_t, 4> limbs = {
        static_cast<std::uint32_t>(number.high >> 32), static_cast<std::uint32_t>(number.high),
        static_cast<std::uint32_t>(number.low >> 32), static_cast<std::uint32_t>(number.low)};
    std::string digits;
    do {
        std::uint64_t remainder = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t dividend = (remainder << 32) | limb;
            limb = static_cast<std::uint32_t>(dividend / 10);
            remainder = dividend % 10;
        }
        digits.push_back(static_cast<char>('0' + remainder));
    } while (std::any_of(limbs.begin(), limbs.end(), [](std::uint32_t limb) { return limb != 0; }));
    std::reverse(digits.begin(), digits.end());
    return digits;
}

double toDouble(UInt128 number)
{
    constexpr double kTwoTo64 = 18446744073709551616.0;
    return static_cast<double>(number.high) * kTwoTo64 + static_cast<double>(number.low);
}

} // namespace orvel
