#include "platform/linux/partition_table_regions.h"

#include <algorithm>

namespace orvel {

namespace {

constexpr std::uint64_t kGptEntryArrayBytes = 128 * 128;

} // namespace

std::vector<ByteRange> partitionTableRegions(std::uint64_t diskBytes, std::uint32_t logicalBlockSize)
{
    if (diskBytes == 0 || logicalBlockSize == 0)
        return {};
    const std::uint64_t arrayBlocks = (kGptEntryArrayBytes + logicalBlockSize - 1) / logicalBlockSize;
    const std::uint64_t headBytes = std::min(diskBytes, (2 + arrayBlocks) * logicalBlockSize);
    const std::uint64_t tailBytes = std::min(diskBytes, (1 + arrayBlocks) * logicalBlockSize);
    return {{0, headBytes}, {diskBytes - tailBytes, tailBytes}};
}

} // namespace orvel
