#include "engine/copy_steps.h"

#include "engine/block_pipeline.h"
#include "engine/operation_log.h"
#include "engine/sector_fitted_write.h"

namespace orvel {

namespace {

void closeHandles(CopyContext& context)
{
    context.source.handle.reset();
    context.destination.handle.reset();
}

void releaseCopyBuffers(CopyContext& context)
{
    context.source.chunkBuffer.release();
    context.source.sectorBuffer.release();
    context.destination.sectorBuffer.release();
}

// Whether the destination's sectors are larger than the units the loops
// move, so that a write can begin or end inside one of them.
bool destinationSectorsAreLarger(const CopyContext& context)
{
    return context.destination.sectorSize > copySectorBytes(context.source);
}

void showAccessDenied(CopyContext& context)
{
    context.observer.showMessage(
        {"Access denied.", std::string(kEngineMessageCaption), MessageIcon::Error, MessageButtons::Ok});
}

// A destination that could not be claimed: mounted file systems are the
// operator's to unmount ("Access denied."); anything else holding it is the
// system's, and the operator is told so.
void showRefusal(CopyContext& context, DeviceHandle* handle)
{
    const DeviceUsers users = handle != nullptr ? handle->users() : DeviceUsers{};
    if (!users.heldBySystem) {
        showAccessDenied(context);
        return;
    }
    std::string text(kDestinationInUseMessage);
    if (!users.names.empty())
        text += "\nIn use by: " + users.names + ".";
    context.observer.showMessage({text, "Error", MessageIcon::Error, MessageButtons::Ok});
}

} // namespace

std::uint32_t copySectorBytes(const DiskDevice& source)
{
    return source.sectorSize != 0 ? source.sectorSize : source.unitSize;
}

BlockPlan planBlocks(DiskDevice& source)
{
    const std::uint32_t sectorBytes = copySectorBytes(source);
    source.chunkSectors = kBlockBytes / sectorBytes;
    source.chunkBytes = source.chunkSectors * sectorBytes;
    const std::uint64_t count = source.rangeEnd - source.rangeStart;
    return {count / source.chunkSectors, count % source.chunkSectors};
}

bool allocateCopyBuffers(CopyContext& context, const BlockPlan& plan)
{
    DiskDevice& source = context.source;
    const std::uint32_t sectorBytes = copySectorBytes(source);
    const std::uint64_t largestTransfer = plan.fullBlocks > 0 ? source.chunkBytes : plan.tailSectors * sectorBytes;
    if (!source.chunkBuffer.allocate(largestTransfer) || !source.sectorBuffer.allocate(sectorBytes))
        return false;
    DiskDevice& destination = context.destination;
    return !destinationSectorsAreLarger(context) || destination.sectorBuffer.allocate(destination.sectorSize);
}

std::uint64_t destinationSectorOf(const CopyContext& context, std::uint64_t sourceSector)
{
    return context.destination.startSector + (sourceSector - context.source.rangeStart);
}

void setPosition(CopyContext& context, std::uint64_t sector)
{
    context.job.positionBytes = sector * copySectorBytes(context.source);
}

bool cancelRequested(CopyContext& context)
{
    context.pauseGate.pass();
    return context.job.cancelled();
}

bool cancelRequested(CopyContext& context, BlockPipeline& pipeline)
{
    if (context.pauseGate.isPaused())
        pipeline.settle();
    if (!cancelRequested(context))
        return false;
    pipeline.clear();
    return true;
}

void recordCopied(CopyContext& context, std::uint64_t firstSector, std::uint64_t count)
{
    context.source.sectorsCopied += count;
    if (context.map != nullptr)
        context.map->finished(firstSector, count);
}

void recordRecovered(CopyContext& context, std::uint64_t sector)
{
    if (context.map != nullptr)
        context.map->finished(sector, 1);
}

void recordMarked(CopyContext& context, std::uint64_t sector)
{
    if (context.map != nullptr)
        context.map->bad(sector);
}

bool writeDestination(CopyContext& context, const void* buffer, std::uint32_t bytes, std::uint64_t destinationSector)
{
    DiskDevice& destination = context.destination;
    if (destination.handle == nullptr)
        return false;
    const std::uint64_t offset = destinationSector * copySectorBytes(context.source);
    if (context.digests != nullptr)
        context.digests->start(offset, static_cast<const std::uint8_t*>(buffer), bytes);
    const IoResult result =
        destinationSectorsAreLarger(context)
            ? writeFittedToSectors(*destination.handle,
                                   {destination.sectorBuffer.data(), destination.sectorBuffer.size()}, offset,
                                   static_cast<const std::uint8_t*>(buffer), bytes)
            : destination.handle->writeAt(offset, buffer, bytes);
    if (context.digests != nullptr)
        context.digests->finish();
    if (!result.ok) {
        destination.lastError = result.error;
        destination.deviceLost = result.deviceLost;
    }
    return result.ok;
}

bool prepareDestination(CopyContext& context)
{
    DiskDevice& destination = context.destination;
    DeviceHandle* handle = destination.handle.get();
    // A resumed run's destination already holds the first run's copy: its
    // partition table is that copy's, not the old one.
    if (destination.kind == DeviceKind::PhysicalDrive && context.resuming) {
        if (handle == nullptr || !handle->lockVolume()) {
            showRefusal(context, handle);
            return false;
        }
        return true;
    }
    if (destination.kind == DeviceKind::PhysicalDrive) {
        const LayoutDeletion deletion = handle != nullptr ? handle->deleteDriveLayout() : LayoutDeletion::Refused;
        if (deletion == LayoutDeletion::Refused) {
            showRefusal(context, handle);
            return false;
        }
        if (deletion == LayoutDeletion::DeletedUnseen)
            appendLayoutWarning(context.logPath);
    }
    if (context.cloningShown && destination.kind != DeviceKind::PhysicalDrive) {
        const bool ready = handle != nullptr && (handle->dismountVolume() || handle->lockVolume());
        if (!ready) {
            showRefusal(context, handle);
            return false;
        }
    }
    return true;
}

CopyOutcome cancelExit(CopyContext& context)
{
    context.job.state = JobState::Cancelled;
    closeHandles(context);
    writeLogSummary(context.logPath, LogOutcome::Cancelled, context.source);
    releaseCopyBuffers(context);
    return CopyOutcome::Cancelled;
}

CopyOutcome quietStop(CopyContext& context, CopyOutcome outcome)
{
    if (outcome == CopyOutcome::Stopped)
        context.job.state = JobState::Cancelled;
    closeHandles(context);
    releaseCopyBuffers(context);
    return outcome;
}

CopyOutcome writeFailureExit(CopyContext& context, std::uint64_t destinationSector)
{
    closeHandles(context);
    if (context.destination.deviceLost)
        appendDeviceLost(context.logPath, destinationSector);
    else
        appendWriteError(context.logPath, destinationSector);
    writeLogSummary(context.logPath, LogOutcome::Failed, context.source);
    releaseCopyBuffers(context);
    return CopyOutcome::Failed;
}

CopyOutcome deviceLostExit(CopyContext& context, std::uint64_t sourceSector)
{
    closeHandles(context);
    appendDeviceLost(context.logPath, sourceSector);
    writeLogSummary(context.logPath, LogOutcome::Failed, context.source);
    releaseCopyBuffers(context);
    return CopyOutcome::Failed;
}

CopyOutcome imageReadFailureExit(CopyContext& context, std::uint64_t sourceSector)
{
    closeHandles(context);
    appendLogLine(context.logPath, std::string(kImageReadErrorText) + std::to_string(sourceSector));
    writeLogSummary(context.logPath, LogOutcome::Failed, context.source);
    releaseCopyBuffers(context);
    return CopyOutcome::Failed;
}

CopyOutcome finishCopy(CopyContext& context)
{
    releaseCopyBuffers(context);
    // Direct writes bypass the page cache but not the drive's own cache, and an
    // image file's size lives in file system metadata: both must be on stable
    // storage before the copy is called complete.
    if (context.destination.handle != nullptr && !context.destination.handle->flush().ok) {
        closeHandles(context);
        appendFlushError(context.logPath);
        writeLogSummary(context.logPath, LogOutcome::Failed, context.source);
        return CopyOutcome::Failed;
    }
    context.job.positionBytes = context.source.endSector * copySectorBytes(context.source);
    context.observer.copyProgress();
    // A restore's image proves itself against its checksum only once all of it was read.
    if (!context.expectedImageSha256.empty()) {
        const std::uint64_t imageBytes = context.source.endSector * copySectorBytes(context.source);
        const std::optional<std::string> read =
            context.digests != nullptr ? context.digests->imageSha256(imageBytes) : std::nullopt;
        if (read != context.expectedImageSha256) {
            closeHandles(context);
            appendLogLine(context.logPath, kImageChecksumMismatchText);
            writeLogSummary(context.logPath, LogOutcome::Failed, context.source);
            return CopyOutcome::Failed;
        }
    }
    context.source.handle.reset();
    // The verification reads the destination back through the handle that
    // still holds it for this program alone, with the progress clock running.
    // An image file stays open too, for its checksum when the run was resumed.
    if (!context.verifyAfter)
        context.observer.killProgressTimer();
    if (!context.verifyAfter && context.destination.kind != DeviceKind::ImageFile)
        context.destination.handle.reset();
    writeLogSummary(context.logPath, LogOutcome::Completed, context.source);
    return CopyOutcome::Completed;
}

} // namespace orvel
