#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace orvel {

// Digests of what a copy wrote to its destination, to compare with what the
// destination gives back. Bytes are kept by their byte offset on the
// destination in regions of kRegionBytes: a region one write covered whole
// has one digest in a table; the pieces of regions written a little at a
// time (the sector pass, the ends of the range) are listed one by one. A
// mismatch is thus placed within one region, or within one smaller write.
class RegionDigests {
public:
    static constexpr std::uint32_t kRegionBytes = 1u << 20;

    // For writes inside [firstByte, endByte) of the destination.
    RegionDigests(std::uint64_t firstByte, std::uint64_t endByte);

    // Digests a write of `length` bytes at `offset`. Each byte is written
    // once; later writes over the same bytes are not expected.
    void add(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length);

    // The span that the writes covered; nullopt when nothing was written.
    struct Span {
        std::uint64_t first = 0;
        std::uint64_t end = 0;
    };
    std::optional<Span> writtenSpan() const;

    // Compares the destination's bytes [offset, offset + length), read back
    // into `bytes`, with the writes that lie wholly inside them. `offset`
    // and `offset + length` must be region boundaries or the written span's
    // ends, so that no write is cut. Gives the offset of the first write or
    // region that differs.
    std::optional<std::uint64_t> firstMismatch(std::uint64_t offset, const std::uint8_t* bytes,
                                               std::uint32_t length);

private:
    struct Piece {
        std::uint64_t offset = 0;
        std::uint32_t length = 0;
        std::uint64_t digest = 0;
    };

    std::uint64_t firstRegion_ = 0;
    std::vector<std::uint64_t> regionDigests_;
    std::vector<bool> regionWhole_;
    std::vector<Piece> pieces_;
    bool piecesSorted_ = true;
    std::optional<Span> span_;
};

} // namespace orvel
