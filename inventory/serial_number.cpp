#include "inventory/serial_number.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace orvel {

namespace {

constexpr std::string_view kPaddingCharacters = "20&._";

// Letters count as digits of base 36 (a = 10 ... z = 35), anything else as 0.
unsigned digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'z')
        return 10u + static_cast<unsigned>(c - 'a');
    if (c >= 'A' && c <= 'Z')
        return 10u + static_cast<unsigned>(c - 'A');
    return 0;
}

bool isSerialCharacter(std::uint8_t byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z');
}

bool isUsb(std::string_view interfaceType) { return interfaceType == "USB"; }

bool atLeast(OsVersion version, std::uint32_t major, std::uint32_t minor)
{
    return version.major > major || (version.major == major && version.minor >= minor);
}

} // namespace

std::string DecodeLegacySerial(std::string_view encoded)
{
    std::string swapped(encoded);
    for (std::size_t group = 0; group + 4 <= swapped.size(); group += 4) {
        std::swap(swapped[group], swapped[group + 2]);
        std::swap(swapped[group + 1], swapped[group + 3]);
    }

    const std::size_t first = swapped.find_first_not_of(kPaddingCharacters);
    if (first == std::string::npos)
        return {};
    const std::size_t last = swapped.find_last_not_of(kPaddingCharacters);
    const std::string_view digits = std::string_view(swapped).substr(first, last - first + 1);

    std::string decoded;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const unsigned high = digitValue(digits[i]);
        const unsigned low = i + 1 < digits.size() ? digitValue(digits[i + 1]) : 0;
        const auto byte = static_cast<std::uint8_t>((16 * high + low % 16) % 256);
        if (isSerialCharacter(byte))
            decoded.push_back(static_cast<char>(byte));
    }
    return decoded;
}

std::string applySerialRules(const std::string& value, std::string_view interfaceType, OsVersion version)
{
    if (!isUsb(interfaceType))
        return atLeast(version, 6, 2) ? value : DecodeLegacySerial(value);
    if (version.major == 5 && version.minor >= 2)
        return {};
    return value;
}

} // namespace orvel
