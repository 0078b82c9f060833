#include "sector_ranges.h"

#include <algorithm>
#include <charconv>

namespace orvel::faulty_fs {

namespace {

std::optional<std::uint64_t> parseNumber(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<SectorRange> parseRange(std::string_view item)
{
    const std::size_t dash = item.find('-');
    const auto first = parseNumber(item.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first : parseNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    return SectorRange{*first, *last};
}

} // namespace

std::optional<std::vector<SectorRange>> parseSectorRanges(std::string_view text)
{
    std::vector<SectorRange> ranges;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const auto range = parseRange(text.substr(0, comma));
        if (!range)
            return std::nullopt;
        ranges.push_back(*range);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (comma != std::string_view::npos && text.empty())
            return std::nullopt;
    }

    std::sort(ranges.begin(), ranges.end(),
              [](const SectorRange& a, const SectorRange& b) { return a.first < b.first; });
    std::vector<SectorRange> merged;
    for (const SectorRange& range : ranges) {
        // Written without `last + 1`, which would wrap at the largest sector number.
        const bool adjoins = !merged.empty()
            && (range.first <= merged.back().last || range.first - 1 == merged.back().last);
        if (adjoins)
            merged.back().last = std::max(merged.back().last, range.last);
        else
            merged.push_back(range);
    }
    return merged;
}

bool touchesAny(const std::vector<SectorRange>& ranges, std::uint64_t first, std::uint64_t last)
{
    // The first range that does not end before `first` is the only candidate.
    const auto candidate = std::lower_bound(ranges.begin(), ranges.end(), first,
                                            [](const SectorRange& range, std::uint64_t sector) {
                                                return range.last < sector;
                                            });
    return candidate != ranges.end() && candidate->first <= last;
}

} // namespace orvel::faulty_fs
