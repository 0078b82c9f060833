#include "engine/rescue_map.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

namespace orvel {

namespace {

constexpr std::uint64_t kNoEnd = std::numeric_limits<std::uint64_t>::max();

std::size_t indexOf(MapStatus status)
{
    switch (status) {
    case MapStatus::NonTried:
        return 0;
    case MapStatus::NonTrimmed:
        return 1;
    case MapStatus::NonScraped:
        return 2;
    case MapStatus::BadSector:
        return 3;
    case MapStatus::Finished:
        return 4;
    }
    return 0;
}

// Sector arithmetic that runs past 2^64 bytes stops there: every range is
// clipped to the domain anyway.
std::uint64_t saturatingProduct(std::uint64_t a, std::uint64_t b)
{
    if (a != 0 && b > kNoEnd / a)
        return kNoEnd;
    return a * b;
}

std::uint64_t saturatingEnd(std::uint64_t pos, std::uint64_t size)
{
    return size > kNoEnd - pos ? kNoEnd : pos + size;
}

std::uint64_t endOf(const MapExtent& extent)
{
    return extent.pos + extent.size;
}

} // namespace

RescueMap::RescueMap(MapHeader header) : header_(std::move(header))
{
    if (domainBegin() < domainEnd()) {
        const MapExtent whole{domainBegin(), domainEnd() - domainBegin(), MapStatus::NonTried};
        extents_.emplace(whole.pos, whole);
        bytes_[indexOf(MapStatus::NonTried)] = whole.size;
    }
}

std::uint64_t RescueMap::domainBegin() const
{
    return saturatingProduct(header_.startSector, header_.source.sectorSize);
}

std::uint64_t RescueMap::domainEnd() const
{
    return saturatingProduct(saturatingEnd(header_.startSector, header_.sectorCount), header_.source.sectorSize);
}

RescueMap::Extents::iterator RescueMap::splitAt(std::uint64_t pos)
{
    auto holder = std::prev(extents_.upper_bound(pos));
    if (holder->first == pos)
        return holder;
    MapExtent& left = holder->second;
    const MapExtent right{pos, endOf(left) - pos, left.status};
    left.size = pos - left.pos;
    return extents_.emplace_hint(std::next(holder), pos, right);
}

void RescueMap::mark(std::uint64_t pos, std::uint64_t size, MapStatus status)
{
    const std::uint64_t begin = std::max(pos, domainBegin());
    const std::uint64_t end = std::min(saturatingEnd(pos, size), domainEnd());
    if (begin >= end)
        return;
    const auto holder = std::prev(extents_.upper_bound(begin));
    if (holder->second.status == status && endOf(holder->second) >= end)
        return;

    auto first = splitAt(begin);
    const auto last = end == domainEnd() ? extents_.end() : splitAt(end);
    while (first != last) {
        bytes_[indexOf(first->second.status)] -= first->second.size;
        first = extents_.erase(first);
    }
    bytes_[indexOf(status)] += end - begin;

    // Neighbours of the same status become one stretch with the new one.
    MapExtent merged{begin, end - begin, status};
    if (last != extents_.end() && last->second.status == status) {
        merged.size += last->second.size;
        extents_.erase(last);
    }
    auto next = extents_.emplace(merged.pos, merged).first;
    if (next != extents_.begin()) {
        auto previous = std::prev(next);
        if (previous->second.status == status) {
            previous->second.size += next->second.size;
            extents_.erase(next);
        }
    }
}

void RescueMap::markSectors(std::uint64_t firstSector, std::uint64_t count, MapStatus status)
{
    const std::uint64_t sectorSize = header_.source.sectorSize;
    mark(saturatingProduct(firstSector, sectorSize), saturatingProduct(count, sectorSize), status);
}

std::vector<MapExtent> RescueMap::extents(std::uint64_t pos, std::uint64_t size) const
{
    std::vector<MapExtent> found;
    const std::uint64_t begin = std::max(pos, domainBegin());
    const std::uint64_t end = std::min(saturatingEnd(pos, size), domainEnd());
    if (begin >= end)
        return found;
    for (auto it = std::prev(extents_.upper_bound(begin)); it != extents_.end() && it->first < end; ++it) {
        const std::uint64_t from = std::max(it->first, begin);
        const std::uint64_t to = std::min(endOf(it->second), end);
        found.push_back(MapExtent{from, to - from, it->second.status});
    }
    return found;
}

std::vector<MapExtent> RescueMap::extents() const
{
    std::vector<MapExtent> all;
    all.reserve(extents_.size());
    for (const auto& [pos, extent] : extents_)
        all.push_back(extent);
    return all;
}

bool RescueMap::all(std::uint64_t pos, std::uint64_t size, MapStatus status) const
{
    if (size == 0)
        return true;
    const std::uint64_t end = saturatingEnd(pos, size);
    if (pos < domainBegin() || end > domainEnd() || end - pos < size)
        return false;
    const MapExtent& holder = std::prev(extents_.upper_bound(pos))->second;
    return holder.status == status && endOf(holder) >= end;
}

std::uint64_t RescueMap::bytesWith(MapStatus status) const
{
    return bytes_[indexOf(status)];
}

bool RescueMap::finished() const
{
    return bytesWith(MapStatus::NonTried) == 0 && bytesWith(MapStatus::NonTrimmed) == 0 &&
           bytesWith(MapStatus::NonScraped) == 0;
}

} // namespace orvel
