#include "platform/linux/block_names.h"

#include <charconv>

namespace orvel {

namespace {

// Longer than any kernel device name (the kernel's limit is 31 characters).
constexpr std::size_t kLongestName = 255;

bool isAsciiAlnum(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool isBareKernelName(std::string_view name)
{
    if (name.empty() || name.size() > kLongestName)
        return false;
    for (const char c : name) {
        if (!isAsciiAlnum(c) && c != '-' && c != '_')
            return false;
    }
    return true;
}

std::optional<std::uint64_t> parseDriveNumber(std::string_view text)
{
    // As the system writes it: no leading zero, so that one drive has one name.
    if (text.empty() || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
    }
    std::uint64_t number = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace orvel
