#include "engine/forward_copy.h"

#include "engine/copy_steps.h"
#include "engine/sector_pass.h"

namespace orvel {

namespace {

// One full block at `sector`: one read, one write, or the sector pass.
CopyOutcome copyBlock(CopyContext& context, std::uint64_t sector)
{
    DiskDevice& source = context.source;
    source.currentSector = sector;
    setPosition(context, sector);
    context.observer.copyProgress();
    if (cancelRequested(context))
        return cancelExit(context);

    if (!readSectors(source, source.handle.get(), sector, source.chunkBuffer.data(), source.chunkBytes))
        return sectorPass(context, sector, source.chunkSectors);

    if (cancelRequested(context))
        return cancelExit(context);
    const std::uint64_t destinationSector = destinationSectorOf(context, sector);
    if (!writeDestination(context, source.chunkBuffer.data(), source.chunkBytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    source.sectorsCopied += source.chunkSectors;
    if (cancelRequested(context))
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

    if (!readSectors(source, source.handle.get(), tailStart, source.chunkBuffer.data(), source.transferBytes))
        return sectorPass(context, tailStart, count);

    if (cancelRequested(context))
        return cancelExit(context);
    context.observer.copyProgress();
    if (!writeDestination(context, source.chunkBuffer.data(), source.transferBytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    source.sectorsCopied += count;
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
    if (!allocateCopyBuffers(source, plan))
        return quietStop(context, CopyOutcome::Failed);

    for (std::uint64_t block = 0; block < plan.fullBlocks; ++block) {
        const CopyOutcome outcome = copyBlock(context, source.rangeStart + block * source.chunkSectors);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    if (plan.tailSectors > 0) {
        const CopyOutcome outcome = copyTail(context, plan.tailSectors);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return finishCopy(context);
}

} // namespace orvel
