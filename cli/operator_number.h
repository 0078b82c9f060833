#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvel::cli {

// A number typed by the operator: decimal digits and nothing else, at most
// 2^63 - 1 (the engine reads sector numbers as signed 64-bit). A sign, a
// separator, a suffix, a blank or overflow gives nullopt, so that "2,048" is
// refused rather than read as 2.
std::optional<std::uint64_t> parseOperatorNumber(std::string_view text);

} // namespace orvel::cli
