#include "inventory/size_property.h"

#include <cstddef>
#include <limits>

namespace orvel {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::uint64_t parseSizeProperty(const std::optional<std::string>& value)
{
    if (!value)
        return 0;
    const std::string& text = *value;
    std::size_t position = 0;
    while (position < text.size() && isBlank(text[position]))
        ++position;

    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }

    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t bytes = 0;
    for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position) {
        const auto digit = static_cast<std::uint64_t>(text[position] - '0');
        if (bytes > (kLimit - digit) / 10)
            return 0;
        bytes = bytes * 10 + digit;
    }
    return negative ? 0 : bytes;
}

} // namespace orvel
