#include "platform/windows/requests/wmi_references.h"

#include <charconv>

namespace orvel::windows {

std::optional<std::string> keyValueOf(std::string_view objectPath)
{
    const std::size_t opening = objectPath.find("=\"");
    if (opening == std::string_view::npos)
        return std::nullopt;
    std::string value;
    for (std::size_t at = opening + 2; at < objectPath.size(); ++at) {
        const char c = objectPath[at];
        if (c == '"')
            return value;
        if (c == '\\') {
            if (++at == objectPath.size())
                return std::nullopt;
            value += objectPath[at];
        } else {
            value += c;
        }
    }
    return std::nullopt;  // no closing quote
}

std::optional<std::uint64_t> diskNumberOfPartitionKey(std::string_view key)
{
    constexpr std::string_view kDiskPrefix = "Disk #";
    if (!key.starts_with(kDiskPrefix))
        return std::nullopt;
    key.remove_prefix(kDiskPrefix.size());
    std::uint64_t number = 0;
    const auto [end, failure] = std::from_chars(key.data(), key.data() + key.size(), number);
    if (failure != std::errc() || end == key.data() || (end != key.data() + key.size() && *end != ','))
        return std::nullopt;
    return number;
}

} // namespace orvel::windows
