// The trimming and number reading of sysfs attribute text. Input: the
// attribute's content as read from its file.
#include "fuzz/fuzz_check.h"
#include "platform/linux/sysfs_text.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

using orvel::fuzz::require;

namespace {

bool isPadding(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel::sysfs;
    const std::string_view text(reinterpret_cast<const char*>(input), size);

    const std::string trimmed = trimAttribute(text);
    require(text.find(trimmed) != std::string_view::npos, "a trimmed text is part of the attribute");
    require(trimmed.empty() || (!isPadding(trimmed.front()) && !isPadding(trimmed.back())),
            "a trimmed text neither starts nor ends with padding");
    require(!trimmed.empty() || std::all_of(text.begin(), text.end(), isPadding),
            "only an attribute of nothing but padding trims to nothing");
    require(trimAttribute(trimmed) == trimmed, "trimming twice changes nothing");

    std::uint64_t expected = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), expected);
    const bool wholeNumber = !trimmed.empty() && std::all_of(trimmed.begin(), trimmed.end(), isDigit)
        && error == std::errc() && end == trimmed.data() + trimmed.size();
    const std::optional<std::uint64_t> number = parseUnsigned(text);
    require(number.has_value() == wholeNumber, "a number is read exactly when the trimmed text is one that fits");
    require(!number || *number == expected, "a number reads as its decimal value");
    return 0;
}
