// The "Size" property's conversion to a byte count. Input: the property's
// text; an empty input also stands for an absent value.
#include "fuzz/fuzz_check.h"
#include "inventory/size_property.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

using orvel::fuzz::require;

namespace {

// What the text should give, read with the standard library's own
// conversion: 0 for no digits, a minus sign or a number past 64 bits.
std::uint64_t expectedBytes(std::string_view text)
{
    const std::size_t start = std::min(text.find_first_not_of(" \t\n\v\f\r"), text.size());
    text.remove_prefix(start);
    const bool negative = text.starts_with('-');
    if (text.starts_with('-') || text.starts_with('+'))
        text.remove_prefix(1);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || negative)
        return 0;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using orvel::parseSizeProperty;
    require(parseSizeProperty(std::nullopt) == 0, "an absent size is 0");
    const std::string text(reinterpret_cast<const char*>(input), size);
    require(parseSizeProperty(text) == expectedBytes(text),
            "a size is its leading decimal number, or 0 when negative, missing or past 64 bits");
    return 0;
}
