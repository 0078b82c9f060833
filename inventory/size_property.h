#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvel {

// The byte count of a "Size" property: leading blanks and one sign are
// accepted and the digits are read up to the first non-digit. An absent
// value, no digits, a negative number or one beyond 64 bits give 0, so such a
// size reads as unknown rather than as a huge or wrapped figure.
std::uint64_t parseSizeProperty(const std::optional<std::string>& value);

} // namespace orvel
