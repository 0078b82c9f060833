#include "engine/forward_copy.h"

#include "engine/block_pipeline.h"
#include "engine/copy_steps.h"
#include "engine/resumed_blocks.h"
#include "engine/sector_pass.h"

namespace orvel {

namespace {

// One full block at `sector`: one read, one write, or the sector pass. The
// blocks after it are read while this one is written. A resumed run skips
// what its map has done and copies the rest of a block part by part.
CopyOutcome copyBlock(CopyContext& context, BlockPipeline& pipeline, std::uint64_t sector)
{
    DiskDevice& source = context.source;
    source.currentSector = sector;
    setPosition(context, sector);
    context.observer.copyProgress();
    if (cancelRequested(context, pipeline))
        return cancelExit(context);
    switch (blockState(context, sector, source.chunkSectors)) {
    case BlockState::Done:
        return CopyOutcome::Completed;
    case BlockState::Mixed:
        pipeline.clear();
        return copyPendingParts(context, sector, source.chunkSectors, true);
    case BlockState::Pending:
        break;
    }

    const BlockData block = pipeline.read(sector);
    if (!block.ok)
        return sectorPass(context, sector, source.chunkSectors);

    if (cancelRequested(context, pipeline))
        return cancelExit(context);
    const std::uint64_t destinationSector = destinationSectorOf(context, sector);
    if (!writeDestination(context, block.bytes, source.chunkBytes, destinationSector)) {
        pipeline.clear();
        return writeFailureExit(context, destinationSector);
    }
    recordCopied(context, sector, source.chunkSectors);
    if (cancelRequested(context, pipeline))
        return cancelExit(context);
    return CopyOutcome::Completed;
}

// The last `count` sectors of the range, fewer than a block.
CopyOutcome copyTail(CopyContext& context, std::uint64_t count)
{
    DiskDevice& source = context.source;
    const std::uint64_t tailStart = source.rangeEnd - count;
    const std::uint64_t destinationSector = destinationSectorOf(context, tailStart);
    source.currentSector = tailStart;
    source.transferBytes = static_cast<std::uint32_t>(count * copySectorBytes(source));
    setPosition(context, tailStart);
    if (cancelRequested(context))
        return cancelExit(context);
    const BlockState state = blockState(context, tailStart, count);
    if (state != BlockState::Pending) {
        const CopyOutcome outcome =
            state == BlockState::Mixed ? copyPendingParts(context, tailStart, count, true) : CopyOutcome::Completed;
        if (outcome == CopyOutcome::Completed)
            setPosition(context, source.endSector);
        return outcome;
    }

    if (!readSectors(source, source.handle.get(), tailStart, source.chunkBuffer.data(), source.transferBytes))
        return sectorPass(context, tailStart, count);

    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    if (!writeDestination(context, source.chunkBuffer.data(), source.transferBytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    recordCopied(context, tailStart, count);
    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    if (cancelRequested(context))
        return cancelExit(context);
    setPosition(context, source.endSector);
    context.observer.copyProgress();
    return CopyOutcome::Completed;
}

} // namespace

CopyOutcome runForwardCopy(CopyContext& context)
{
    DiskDevice& source = context.source;
    source.rangeStart = source.startSector;
    source.rangeEnd = source.endSector;
    source.sectorsCopied = 0;
    source.badSectors = 0;

    if (cancelRequested(context))
        return quietStop(context, CopyOutcome::Stopped);
    if (!prepareDestination(context))
        return quietStop(context, CopyOutcome::Failed);

    const BlockPlan plan = planBlocks(source);
    // Also the check after a volume was dismounted or locked.
    if (cancelRequested(context))
        return quietStop(context, CopyOutcome::Stopped);
    if (!allocateCopyBuffers(context, plan))
        return quietStop(context, CopyOutcome::Failed);

    {
        const std::uint64_t blocksEnd = source.rangeStart + plan.fullBlocks * source.chunkSectors;
        BlockPipeline pipeline(source, plan.fullBlocks, [&context, blocksEnd](std::uint64_t sector) {
            const std::uint64_t next = sector + context.source.chunkSectors;
            return pendingBlock(context, next, next < blocksEnd);
        });
        for (std::uint64_t block = 0; block < plan.fullBlocks; ++block) {
            const std::uint64_t sector = source.rangeStart + block * source.chunkSectors;
            const CopyOutcome outcome = copyBlock(context, pipeline, sector);
            if (outcome != CopyOutcome::Completed)
                return outcome;
        }
    }
    if (plan.tailSectors > 0) {
        const CopyOutcome outcome = copyTail(context, plan.tailSectors);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return finishCopy(context);
}

} // namespace orvel
