#include "engine/sector_pass.h"

#include "engine/bad_sector_marker.h"
#include "engine/copy_steps.h"
#include "engine/operation_log.h"

#include <algorithm>
#include <optional>
#include <span>

namespace orvel {

namespace {

// Where the two passes differ.
struct PassVariant {
    bool checkBeforeEachRead;
    bool checkAfterUnretriedMarker;
    const MarkerRecord& retriedMarker;
    std::size_t retriedMarkerLimit;
};

const PassVariant kForwardPass{true, false, BadSectorMarker, kFullMarkerLimit};
const PassVariant kReversePass{false, true, RetriedBadSectorMarker, kShortMarkerLimit};

// A marker always starts from a cleared sector: whatever a failed read or an
// earlier sector left in the buffer must not reach the destination.
void prepareMarker(std::span<std::uint8_t> sector, const MarkerRecord& record, std::size_t limit)
{
    std::fill(sector.begin(), sector.end(), std::uint8_t{0});
    fillMarker(sector, record, limit);
}

// Writes the marker of a sector that is not read again.
CopyOutcome markUnretriedSector(CopyContext& context, std::span<std::uint8_t> sector, std::uint64_t sourceSector,
                                std::uint64_t destinationSector, const PassVariant& variant)
{
    prepareMarker(sector, BadSectorMarker, kShortMarkerLimit);
    if (cancelRequested(context))
        return cancelExit(context);
    if (!writeDestination(context, sector.data(), static_cast<std::uint32_t>(sector.size()), destinationSector))
        return writeFailureExit(context, destinationSector);
    recordMarked(context, sourceSector);
    if (variant.checkAfterUnretriedMarker && cancelRequested(context))
        return cancelExit(context);
    return CopyOutcome::Completed;
}

// Reads a bad sector again up to retryCount times. The first attempt that
// reads ends the attempts and its data is written; if none reads, the marker is.
CopyOutcome retrySector(CopyContext& context, std::span<std::uint8_t> sector, std::uint64_t sourceSector,
                        std::uint64_t destinationSector, const PassVariant& variant)
{
    DiskDevice& source = context.source;
    const auto bytes = static_cast<std::uint32_t>(sector.size());
    for (std::int32_t attempt = 1; attempt <= source.retryCount; ++attempt) {
        if (cancelRequested(context))
            return cancelExit(context);
        if (readSectors(source, source.handle.get(), sourceSector, sector.data(), bytes)) {
            if (cancelRequested(context))
                return cancelExit(context);
            if (!writeDestination(context, sector.data(), bytes, destinationSector))
                return writeFailureExit(context, destinationSector);
            recordRecovered(context, sourceSector);
            if (cancelRequested(context))
                return cancelExit(context);
            return CopyOutcome::Completed;
        }
        if (source.deviceLost)
            return deviceLostExit(context, sourceSector);
    }
    prepareMarker(sector, variant.retriedMarker, variant.retriedMarkerLimit);
    if (cancelRequested(context))
        return cancelExit(context);
    if (!writeDestination(context, sector.data(), bytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    recordMarked(context, sourceSector);
    if (cancelRequested(context))
        return cancelExit(context);
    return CopyOutcome::Completed;
}

// Sectors [first, first + count) one at a time.
CopyOutcome copySectors(CopyContext& context, std::uint64_t first, std::uint64_t count, std::span<std::uint8_t> sector,
                        const PassVariant& variant)
{
    DiskDevice& source = context.source;
    for (std::uint64_t sourceSector = first; sourceSector < first + count; ++sourceSector) {
        const std::uint64_t destinationSector = destinationSectorOf(context, sourceSector);
        if (variant.checkBeforeEachRead && cancelRequested(context))
            return cancelExit(context);

        if (readSectors(source, source.handle.get(), sourceSector, sector.data(), source.transferBytes)) {
            if (cancelRequested(context))
                return cancelExit(context);
            if (!writeDestination(context, sector.data(), source.transferBytes, destinationSector))
                return writeFailureExit(context, destinationSector);
            recordCopied(context, sourceSector, 1);
            if (cancelRequested(context))
                return cancelExit(context);
            continue;
        }
        if (source.deviceLost)
            return deviceLostExit(context, sourceSector);
        if (context.sourceIsImage)
            return imageReadFailureExit(context, sourceSector);

        // Counted and logged once, even when a later attempt reads it: its
        // data may be unreliable, and the operator should know where it was.
        source.badSectors += 1;
        appendBadSector(context.logPath, sourceSector);
        const CopyOutcome outcome = source.retryCount > 0
                                        ? retrySector(context, sector, sourceSector, destinationSector, variant)
                                        : markUnretriedSector(context, sector, sourceSector, destinationSector, variant);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return CopyOutcome::Completed;
}

// Pieces that read wait in the block buffer, at their place in the failed
// range, and reach the destination in one write per run of consecutive
// pieces: before a piece that fails goes sector by sector, before the pass
// leaves and at its end. A block with one bad sector then costs two writes
// for its 255 good pieces instead of 255, and the destination at every exit
// holds what writing each piece at once would have left there.
struct PieceRun {
    std::uint64_t rangeFirst = 0;  // the failed range's first sector, at byte 0 of the block buffer
    std::uint64_t first = 0;
    std::uint64_t count = 0;
};

std::uint8_t* placeOf(DiskDevice& source, const PieceRun& run, std::uint64_t sector)
{
    return source.chunkBuffer.data() + (sector - run.rangeFirst) * source.transferBytes;
}

// Writes the run that waits; a failed write ends the pass, naming the run's
// first sector.
std::optional<CopyOutcome> writeRun(CopyContext& context, PieceRun& run)
{
    if (run.count == 0)
        return std::nullopt;
    DiskDevice& source = context.source;
    const std::uint64_t destinationSector = destinationSectorOf(context, run.first);
    const auto bytes = static_cast<std::uint32_t>(run.count * source.transferBytes);
    if (!writeDestination(context, placeOf(source, run, run.first), bytes, destinationSector))
        return writeFailureExit(context, destinationSector);
    recordCopied(context, run.first, run.count);
    run.count = 0;
    return std::nullopt;
}

// An exit of the pass: the run first.
template <typename Exit>
CopyOutcome leave(CopyContext& context, PieceRun& run, Exit exit)
{
    if (const std::optional<CopyOutcome> failed = writeRun(context, run))
        return *failed;
    return exit();
}

// A piece of a failed block: one read when it reads, else its sectors one at
// a time.
CopyOutcome copyPiece(CopyContext& context, PieceRun& run, std::uint64_t first, std::uint64_t count,
                      std::span<std::uint8_t> sector, const PassVariant& variant)
{
    DiskDevice& source = context.source;
    const auto bytes = static_cast<std::uint32_t>(count * source.transferBytes);
    if (variant.checkBeforeEachRead && cancelRequested(context))
        return leave(context, run, [&] { return cancelExit(context); });
    if (!readSectors(source, source.handle.get(), first, placeOf(source, run, first), bytes)) {
        if (source.deviceLost)
            return leave(context, run, [&] { return deviceLostExit(context, first); });
        if (const std::optional<CopyOutcome> failed = writeRun(context, run))
            return *failed;
        return copySectors(context, first, count, sector, variant);
    }
    if (cancelRequested(context))
        return leave(context, run, [&] { return cancelExit(context); });
    if (run.count == 0)
        run.first = first;
    run.count += count;
    return CopyOutcome::Completed;
}

// Raised for as long as a pass runs, whichever way it leaves.
class BadSectorFlag {
public:
    explicit BadSectorFlag(CopyJob& job) : job_(job) { job_.readingBadSectors = true; }
    ~BadSectorFlag() { job_.readingBadSectors = false; }
    BadSectorFlag(const BadSectorFlag&) = delete;
    BadSectorFlag& operator=(const BadSectorFlag&) = delete;

private:
    CopyJob& job_;
};

CopyOutcome runPass(CopyContext& context, std::uint64_t first, std::uint64_t count, const PassVariant& variant)
{
    const BadSectorFlag flag(context.job);
    DiskDevice& source = context.source;
    // The read that failed and brought the pass here may have been the
    // source going away: then there is nothing left to read sector by sector.
    if (source.deviceLost)
        return deviceLostExit(context, first);
    source.transferBytes = copySectorBytes(source);
    source.sectorBuffer.zero();
    const std::span<std::uint8_t> sector(source.sectorBuffer.data(), source.transferBytes);

    if (cancelRequested(context))
        return cancelExit(context);

    const std::uint64_t pieceSectors = kPieceBytes / source.transferBytes;
    if (count < kFewestPieces * pieceSectors)
        return copySectors(context, first, count, sector, variant);
    PieceRun run{first};
    for (std::uint64_t piece = first; piece < first + count; piece += pieceSectors) {
        const CopyOutcome outcome =
            copyPiece(context, run, piece, std::min(pieceSectors, first + count - piece), sector, variant);
        if (outcome != CopyOutcome::Completed)
            return outcome;
    }
    return writeRun(context, run).value_or(CopyOutcome::Completed);
}

} // namespace

CopyOutcome sectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count)
{
    return runPass(context, first, count, kForwardPass);
}

CopyOutcome reverseSectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count)
{
    return runPass(context, first, count, kReversePass);
}

} // namespace orvel
