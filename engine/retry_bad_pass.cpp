#include "engine/retry_bad_pass.h"

#include "engine/copy_steps.h"
#include "engine/operation_log.h"

#include <string>
#include <vector>

namespace orvel {

namespace {

// The bad sectors' numbers, in order.
std::vector<std::uint64_t> badSectorsOf(const RescueMap& map, std::uint32_t sectorBytes)
{
    std::vector<std::uint64_t> sectors;
    for (const MapExtent& extent : map.extents()) {
        if (extent.status != MapStatus::BadSector)
            continue;
        for (std::uint64_t pos = extent.pos; pos < extent.pos + extent.size; pos += sectorBytes)
            sectors.push_back(pos / sectorBytes);
    }
    return sectors;
}

// One bad sector: its first read and retryCount more.
CopyOutcome retryOne(CopyContext& context, std::uint64_t sector)
{
    DiskDevice& source = context.source;
    for (std::int32_t attempt = 0; attempt <= source.retryCount; ++attempt) {
        if (cancelRequested(context))
            return cancelExit(context);
        if (readSectors(source, source.handle.get(), sector, source.sectorBuffer.data(), source.transferBytes)) {
            const std::uint64_t destinationSector = destinationSectorOf(context, sector);
            if (!writeDestination(context, source.sectorBuffer.data(), source.transferBytes, destinationSector))
                return writeFailureExit(context, destinationSector);
            recordCopied(context, sector, 1);
            appendLogLine(context.logPath, std::string(kRecoveredSectorText) + std::to_string(sector));
            return CopyOutcome::Completed;
        }
        if (source.deviceLost)
            return deviceLostExit(context, sector);
    }
    source.badSectors += 1;
    appendBadSector(context.logPath, sector);
    return CopyOutcome::Completed;
}

} // namespace

CopyOutcome runRetryBad(CopyContext& context)
{
    DiskDevice& source = context.source;
    source.rangeStart = source.startSector;
    source.rangeEnd = source.endSector;
    source.sectorsCopied = 0;
    source.badSectors = 0;
    source.transferBytes = copySectorBytes(source);
    const std::vector<std::uint64_t> sectors =
        context.map != nullptr ? badSectorsOf(context.map->map(), source.transferBytes) : std::vector<std::uint64_t>{};

    if (cancelRequested(context))
        return quietStop(context, CopyOutcome::Stopped);
    if (!prepareDestination(context))
        return quietStop(context, CopyOutcome::Failed);
    if (!allocateCopyBuffers(context, BlockPlan{0, 1}))
        return quietStop(context, CopyOutcome::Failed);

    // Progress runs over the bad sectors, not over the range.
    context.job.positionBytes = 0;
    context.job.endBytes = sectors.size() * source.transferBytes;
    for (std::size_t done = 0; done < sectors.size(); ++done) {
        source.currentSector = sectors[done];
        context.job.positionBytes = done * source.transferBytes;
        context.observer.copyProgress();
        const CopyOutcome outcome = retryOne(context, sectors[done]);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return finishCopy(context);
}

} // namespace orvel
