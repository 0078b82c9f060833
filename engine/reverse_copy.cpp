#include "engine/reverse_copy.h"

#include "engine/block_pipeline.h"
#include "engine/copy_steps.h"
#include "engine/resumed_blocks.h"
#include "engine/sector_pass.h"

namespace orvel {

namespace {

// The progress position counts the sectors from the top of the range down to `sector`.
void setPositionFromTop(CopyContext& context, std::uint64_t sector)
{
    context.job.positionBytes = (context.source.rangeEnd - sector) * copySectorBytes(context.source);
}

// The `count` sectors at the top of the range, fewer than a block.
CopyOutcome copyTail(CopyContext& context, std::uint64_t count)
{
    DiskDevice& source = context.source;
    const std::uint64_t tailStart = source.rangeEnd - count;
    const std::uint64_t destinationSector = destinationSectorOf(context, tailStart);
    source.transferBytes = static_cast<std::uint32_t>(count * copySectorBytes(source));
    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    switch (blockState(context, tailStart, count)) {
    case BlockState::Done:
        return CopyOutcome::Completed;
    case BlockState::Mixed:
        return copyPendingParts(context, tailStart, count, false);
    case BlockState::Pending:
        break;
    }

    if (!readSectors(source, source.handle.get(), tailStart, source.chunkBuffer.data(), source.transferBytes))
        return reverseSectorPass(context, tailStart, count);

    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    if (!writeDestination(context, source.chunkBuffer.data(), source.transferBytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    recordCopied(context, tailStart, count);
    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    return CopyOutcome::Completed;
}

// One full block at `sector`: one read, one write, or the sector pass. The
// blocks below it are read while this one is written; the next block's check
// follows the write.
CopyOutcome copyBlock(CopyContext& context, BlockPipeline& pipeline, std::uint64_t sector)
{
    DiskDevice& source = context.source;
    source.currentSector = sector;
    setPositionFromTop(context, sector);
    context.observer.copyProgress();
    if (cancelRequested(context, pipeline))
        return cancelExit(context);
    switch (blockState(context, sector, source.chunkSectors)) {
    case BlockState::Done:
        return CopyOutcome::Completed;
    case BlockState::Mixed:
        pipeline.clear();
        return copyPendingParts(context, sector, source.chunkSectors, false);
    case BlockState::Pending:
        break;
    }

    const BlockData block = pipeline.read(sector);
    if (!block.ok)
        return reverseSectorPass(context, sector, source.chunkSectors);

    setPositionFromTop(context, sector);
    context.observer.copyProgress();
    if (cancelRequested(context, pipeline))
        return cancelExit(context);
    const std::uint64_t destinationSector = destinationSectorOf(context, sector);
    if (!writeDestination(context, block.bytes, source.chunkBytes, destinationSector)) {
        pipeline.clear();
        return writeFailureExit(context, destinationSector);
    }
    recordCopied(context, sector, source.chunkSectors);
    return CopyOutcome::Completed;
}

} // namespace

CopyOutcome runReverseCopy(CopyContext& context)
{
    DiskDevice& source = context.source;
    source.rangeStart = source.startSector;
    source.rangeEnd = source.endSector;
    source.sectorsCopied = 0;
    source.badSectors = 0;

    if (!prepareDestination(context))
        return quietStop(context, CopyOutcome::Failed);
    if (cancelRequested(context))
        return quietStop(context, CopyOutcome::Stopped);

    const BlockPlan plan = planBlocks(source);
    source.currentSector = source.rangeEnd - plan.tailSectors;
    setPositionFromTop(context, source.currentSector);
    if (!allocateCopyBuffers(context, plan))
        return quietStop(context, CopyOutcome::Failed);

    if (plan.tailSectors > 0) {
        const CopyOutcome outcome = copyTail(context, plan.tailSectors);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    if (cancelRequested(context))
        return cancelExit(context);

    {
        BlockPipeline pipeline(source, plan.fullBlocks, [&context](std::uint64_t sector) {
            const std::uint64_t chunk = context.source.chunkSectors;
            return pendingBlock(context, sector - chunk, sector >= context.source.rangeStart + chunk);
        });
        for (std::uint64_t block = 1; block <= plan.fullBlocks; ++block) {
            const std::uint64_t sector = source.rangeEnd - plan.tailSectors - block * source.chunkSectors;
            const CopyOutcome outcome = copyBlock(context, pipeline, sector);
            if (outcome != CopyOutcome::Completed)
                return outcome;
        }
    }
    return finishCopy(context);
}

} // namespace orvel
