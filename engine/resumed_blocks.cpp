#include "engine/resumed_blocks.h"

#include "engine/copy_steps.h"
#include "engine/sector_pass.h"

#include <algorithm>
#include <vector>

namespace orvel {

namespace {

bool isPending(MapStatus status)
{
    return status == MapStatus::NonTried || status == MapStatus::NonTrimmed || status == MapStatus::NonScraped;
}

struct SectorRun {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
};

// The pending parts of a block as runs of whole sectors, neighbours joined.
std::vector<SectorRun> pendingRuns(const CopyContext& context, std::uint64_t first, std::uint64_t count)
{
    const std::uint64_t sectorBytes = copySectorBytes(context.source);
    std::vector<SectorRun> runs;
    for (const MapExtent& extent : context.map->map().extents(first * sectorBytes, count * sectorBytes)) {
        if (!isPending(extent.status))
            continue;
        const SectorRun run{extent.pos / sectorBytes, extent.size / sectorBytes};
        if (!runs.empty() && runs.back().first + runs.back().count == run.first)
            runs.back().count += run.count;
        else
            runs.push_back(run);
    }
    return runs;
}

CopyOutcome copyRun(CopyContext& context, const SectorRun& run, bool forward)
{
    DiskDevice& source = context.source;
    const auto bytes = static_cast<std::uint32_t>(run.count * copySectorBytes(source));
    if (cancelRequested(context))
        return cancelExit(context);
    if (!readSectors(source, source.handle.get(), run.first, source.chunkBuffer.data(), bytes))
        return forward ? sectorPass(context, run.first, run.count) : reverseSectorPass(context, run.first, run.count);
    if (cancelRequested(context))
        return cancelExit(context);
    const std::uint64_t destinationSector = destinationSectorOf(context, run.first);
    if (!writeDestination(context, source.chunkBuffer.data(), bytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    recordCopied(context, run.first, run.count);
    return CopyOutcome::Completed;
}

} // namespace

BlockState blockState(const CopyContext& context, std::uint64_t first, std::uint64_t count)
{
    // A first run has nothing behind it: its map is all untried.
    if (context.map == nullptr || !context.resuming)
        return BlockState::Pending;
    const std::uint64_t sectorBytes = copySectorBytes(context.source);
    bool anyPending = false;
    bool anyDone = false;
    for (const MapExtent& extent : context.map->map().extents(first * sectorBytes, count * sectorBytes)) {
        if (isPending(extent.status))
            anyPending = true;
        else
            anyDone = true;
    }
    if (anyPending && anyDone)
        return BlockState::Mixed;
    return anyDone ? BlockState::Done : BlockState::Pending;
}

std::optional<std::uint64_t> pendingBlock(const CopyContext& context, std::uint64_t sector, bool inRange)
{
    if (!inRange || blockState(context, sector, context.source.chunkSectors) != BlockState::Pending)
        return std::nullopt;
    return sector;
}

CopyOutcome copyPendingParts(CopyContext& context, std::uint64_t first, std::uint64_t count, bool forward)
{
    std::vector<SectorRun> runs = pendingRuns(context, first, count);
    if (!forward)
        std::reverse(runs.begin(), runs.end());
    for (const SectorRun& run : runs) {
        const CopyOutcome outcome = copyRun(context, run, forward);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return CopyOutcome::Completed;
}

} // namespace orvel
