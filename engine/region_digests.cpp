#include "engine/region_digests.h"

#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>

namespace orvel {

RegionDigests::RegionDigests(std::uint64_t firstByte, std::uint64_t endByte)
    : firstRegion_(firstByte / kRegionBytes)
{
    const std::uint64_t regions = endByte > firstByte ? (endByte - 1) / kRegionBytes + 1 - firstRegion_ : 0;
    regionDigests_.assign(regions, 0);
    regionWhole_.assign(regions, false);
}

void RegionDigests::add(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length)
{
    if (length == 0)
        return;
    const std::uint64_t end = offset + length;
    span_ = span_ ? Span{std::min(span_->first, offset), std::max(span_->end, end)} : Span{offset, end};
    while (offset < end) {
        const std::uint64_t regionEnd = (offset / kRegionBytes + 1) * kRegionBytes;
        const auto part = static_cast<std::uint32_t>(std::min(end, regionEnd) - offset);
        const std::uint64_t digest = XXH3_64bits(bytes, part);
        const std::uint64_t region = offset / kRegionBytes - firstRegion_;
        if (part == kRegionBytes && region < regionDigests_.size()) {
            regionDigests_[region] = digest;
            regionWhole_[region] = true;
        } else {
            if (!pieces_.empty() && offset < pieces_.back().offset)
                piecesSorted_ = false;
            pieces_.push_back({offset, part, digest});
        }
        offset += part;
        bytes += part;
    }
}

std::optional<RegionDigests::Span> RegionDigests::writtenSpan() const
{
    return span_;
}

std::optional<std::uint64_t> RegionDigests::firstMismatch(std::uint64_t offset, const std::uint8_t* bytes,
                                                          std::uint32_t length)
{
    // A reverse copy writes from the end backwards: its pieces are put in
    // order once, at the first comparison.
    if (!piecesSorted_) {
        std::sort(pieces_.begin(), pieces_.end(), [](const Piece& a, const Piece& b) { return a.offset < b.offset; });
        piecesSorted_ = true;
    }
    const std::uint64_t end = offset + length;
    auto piece = std::lower_bound(pieces_.begin(), pieces_.end(), offset,
                                  [](const Piece& p, std::uint64_t at) { return p.offset < at; });
    std::uint64_t at = offset;
    while (at < end) {
        const std::uint64_t regionEnd = std::min(end, (at / kRegionBytes + 1) * kRegionBytes);
        const std::uint64_t region = at / kRegionBytes - firstRegion_;
        if (at % kRegionBytes == 0 && regionEnd - at == kRegionBytes && region < regionWhole_.size() &&
            regionWhole_[region]) {
            if (XXH3_64bits(bytes + (at - offset), kRegionBytes) != regionDigests_[region])
                return at;
        } else {
            for (; piece != pieces_.end() && piece->offset < regionEnd; ++piece) {
                if (piece->offset + piece->length > end)
                    break;
                if (XXH3_64bits(bytes + (piece->offset - offset), piece->length) != piece->digest)
                    return piece->offset;
            }
        }
        at = regionEnd;
    }
    return std::nullopt;
}

} // namespace orvel
