#pragma once

#include "engine/block_reader.h"
#include "engine/disk_device.h"
#include "platform/aligned_buffer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace orvel {

// One block as a copy loop gets it: where its bytes are and whether they came.
struct BlockData {
    bool ok = false;
    std::uint8_t* bytes = nullptr;
};

// The block a loop copies after the one at a sector, when that one is wholly
// to copy and follows at once; nullopt when there is none.
using NextBlock = std::function<std::optional<std::uint64_t>(std::uint64_t)>;

// Reads a copy loop's blocks ahead of it, so that the reads of the next
// blocks overlap the write of the current one and the disk never waits for
// the loop. Blocks go through up to kBlocksInFlight buffers, the source
// record's chunkBuffer and spares: the loop writes from one while the reader
// thread fills the others, one read after the other in the loop's order.
// Reads are whole blocks (chunkBytes) at sector x the source's sector size,
// as readSectors does them; a failed one leaves its code in lastError and
// deviceLost, and nothing is read after it until the loop asks again.
class BlockPipeline {
public:
    // Buffers, the one the loop writes from included. Four kept the writes fed
    // best when reads came unevenly and matched two otherwise; eight gave
    // nothing but memory (docs/performance.md).
    static constexpr std::size_t kBlocksInFlight = 4;

    // Takes spare buffers for the blocks after the first. Without them
    // (memory is short) every read is done when the loop asks for it.
    BlockPipeline(DiskDevice& source, std::uint64_t blocks, NextBlock next);
    // Clears: nothing is left in flight.
    ~BlockPipeline();

    // The block at `sector`, read ahead or read now; then queues the reads of
    // the blocks after it. Its buffer is the loop's until the next call.
    BlockData read(std::uint64_t sector);
    // Drops the reads not begun and waits for the one being read: on return
    // nothing is in flight. The blocks already read are kept for the loop.
    void settle();
    // Settles and lets go of the blocks read: no buffer but the loop's is in
    // use, and the source record's chunkBuffer is free for the loop.
    void clear();

private:
    struct Queued {
        std::uint64_t sector = 0;
        std::size_t buffer = 0;
        std::optional<IoResult> result;  // taken from the reader by settle()
    };

    void readAhead(std::uint64_t after, std::size_t held);
    std::size_t freeBuffer(std::size_t held) const;

    DiskDevice& source_;
    NextBlock next_;
    std::array<AlignedBuffer, kBlocksInFlight - 1> spares_;
    std::array<std::uint8_t*, kBlocksInFlight> buffers_{};
    std::size_t bufferCount_ = 1;
    std::optional<BlockReader> reader_;  // with spare buffers only
    std::deque<Queued> queued_;
};

} // namespace orvel
