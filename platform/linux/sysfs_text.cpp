#include "platform/linux/sysfs_text.h"

#include <limits>

namespace orvel::sysfs {

namespace {

bool isPadding(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

} // namespace

std::string trimAttribute(std::string_view text)
{
    while (!text.empty() && isPadding(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isPadding(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::optional<std::uint64_t> parseUnsigned(std::string_view text)
{
    const std::string digits = trimAttribute(text);
    if (digits.empty())
        return std::nullopt;
    constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (kLimit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace orvel::sysfs
