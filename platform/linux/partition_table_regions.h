#pragma once

#include <cstdint>
#include <vector>

namespace orvel {

struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Where a disk keeps its partition tables: the MBR, the primary GPT header
// and its 16 KiB entry array at the start; the backup array and header at the
// end. For 512-byte blocks that is the first 34 and the last 33 blocks; for
// 4096-byte blocks the first 6 and the last 5. On a disk too small to hold
// both, the ranges are clipped to the disk (and may overlap).
std::vector<ByteRange> partitionTableRegions(std::uint64_t diskBytes, std::uint32_t logicalBlockSize);

} // namespace orvel
