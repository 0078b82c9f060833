#pragma once

#include "engine/block_reader.h"
#include "engine/disk_device.h"
#include "platform/aligned_buffer.h"

#include <cstdint>
#include <optional>

namespace orvel {

// One block as a copy loop gets it: where its bytes are and whether they came.
struct BlockData {
    bool ok = false;
    std::uint8_t* bytes = nullptr;
};

// Overlaps a copy loop's block reads with its writes. Blocks go through two
// buffers, the source record's chunkBuffer and a spare one: while the loop
// writes the block in one, the reader thread reads the next block into the
// other. Reads are whole blocks (chunkBytes) at sector x the source's sector
// size, as readSectors does them; a failed one leaves its code in lastError
// and deviceLost.
class BlockPipeline {
public:
    // Takes a spare buffer when the range has more than one block. Without
    // one (memory is short) every read is done when the loop asks for it.
    BlockPipeline(DiskDevice& source, std::uint64_t blocks);

    // The block at `sector`: the one read ahead when it is that one, else
    // read now on the calling thread.
    BlockData read(std::uint64_t sector);
    // Starts reading the block at `sector` into the buffer the loop is not using.
    void readAhead(std::uint64_t sector);
    // Waits for the read ahead to end. The loop settles before every cancel
    // check and before any exit, so that no read is in flight at either.
    void settle();

private:
    std::uint8_t* nextBuffer();

    DiskDevice& source_;
    AlignedBuffer spare_;
    std::optional<BlockReader> reader_;  // with the spare buffer only
    bool spareNext_ = false;
    bool aheadStarted_ = false;
    bool inFlight_ = false;
    std::uint64_t aheadSector_ = 0;
    BlockData ahead_;
};

} // namespace orvel
