#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvel::faulty_fs {

// An inclusive run of sector numbers.
struct SectorRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};

// Parses a list such as "7,100-103,2048" into sorted, merged ranges. An empty
// text is an empty list; anything malformed (a reversed range, stray
// characters, a number that does not fit) gives nullopt.
std::optional<std::vector<SectorRange>> parseSectorRanges(std::string_view text);

// Whether any sector from first to last (inclusive) is in the sorted, merged list.
bool touchesAny(const std::vector<SectorRange>& ranges, std::uint64_t first, std::uint64_t last);

} // namespace orvel::faulty_fs
