#pragma once

#include "engine/rescue_map.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// ddrescue holds positions in signed 64-bit numbers; a map holds none larger.
inline constexpr std::uint64_t kLargestMapPosition = std::numeric_limits<std::int64_t>::max();

// The comment lines at the top of a map that say what it maps: one
// "# key: value" line for each field of the header (see mapText).
inline constexpr std::size_t kIdentificationFields = 16;

// The identification as far as a map's lines have given it.
struct MapIdentification {
    MapHeader header;
    std::array<std::size_t, kIdentificationFields> lines{};  // where each field was given; 0 for not yet
};

// The map's title line and the identification of `header`, as mapText writes them.
std::string identificationText(const MapHeader& header);

// Takes in comment line `number`: a field of the identification, or any
// other comment, which says nothing to the program. What is wrong ("line 7:
// ...") when it is a field that cannot be read; empty otherwise.
std::string readIdentificationLine(MapIdentification& identification, std::string_view line, std::size_t number);

// What is wrong with the identification once the status line (line
// `statusLine`) has ended it: a field missing, or a range of sectors beyond
// what a map holds. Empty when nothing is.
std::string checkIdentification(const MapIdentification& identification, std::size_t statusLine);

// The number `text` spells in `base`, digits only (no sign, prefix or
// blank); nullopt for anything else and for numbers past 2^64.
std::optional<std::uint64_t> numberIn(std::string_view text, int base = 10);

} // namespace orvel
