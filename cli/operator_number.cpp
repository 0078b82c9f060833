#include "cli/operator_number.h"

#include <limits>

namespace orvel::cli {

std::optional<std::uint64_t> parseOperatorNumber(std::string_view text)
{
    constexpr std::uint64_t kLargest = std::numeric_limits<std::int64_t>::max();
    if (text.empty())
        return std::nullopt;
    std::uint64_t number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (number > (kLargest - digit) / 10)
            return std::nullopt;
        number = number * 10 + digit;
    }
    return number;
}

} // namespace orvel::cli
