#include "engine/verify_pass.h"

#include "engine/copy_steps.h"
#include "engine/operation_log.h"
#include "platform/aligned_buffer.h"

#include <algorithm>
#include <string>

namespace orvel {

namespace {

VerifyOutcome endPass(CopyContext& context, VerifyOutcome outcome, std::uint64_t sector = 0)
{
    context.destination.handle.reset();
    switch (outcome) {
    case VerifyOutcome::Passed:
        appendLogLine(context.logPath, kVerificationPassedText);
        break;
    case VerifyOutcome::Failed:
        appendLogLine(context.logPath, std::string(kVerificationFailedText) + std::to_string(sector));
        break;
    case VerifyOutcome::Cancelled:
        context.job.state = JobState::Cancelled;
        appendLogLine(context.logPath, kVerificationCancelledText);
        break;
    }
    return outcome;
}

} // namespace

VerifyOutcome verifyDestination(CopyContext& context, RegionDigests& digests)
{
    const std::optional<RegionDigests::Span> span = digests.writtenSpan();
    if (!span)
        return endPass(context, VerifyOutcome::Passed);
    // Sectors in the log are counted as the copy counted them, in the source's.
    const std::uint32_t sectorBytes = copySectorBytes(context.source);
    // Reads must cover whole destination sectors to be direct.
    const std::uint64_t unit = std::max<std::uint64_t>(context.destination.sectorSize, sectorBytes);
    const std::uint64_t first = span->first / unit * unit;
    const std::uint64_t end = (span->end + unit - 1) / unit * unit;

    CopyJob& job = context.job;
    job.positionBytes = 0;
    job.endBytes = end - first;
    job.phase = JobPhase::Verifying;
    context.observer.copyProgress();

    AlignedBuffer buffer;
    DeviceHandle* handle = context.destination.handle.get();
    if (handle == nullptr || !buffer.allocate(std::min<std::uint64_t>(kBlockBytes, end - first)))
        return endPass(context, VerifyOutcome::Failed, first / sectorBytes);
    for (std::uint64_t at = first; at < end;) {
        if (cancelRequested(context))
            return endPass(context, VerifyOutcome::Cancelled);
        // Blocks end on block boundaries of the destination, which are also
        // region boundaries, so that no digested write is cut in two.
        const std::uint64_t blockEnd = std::min(end, (at / kBlockBytes + 1) * kBlockBytes);
        const auto bytes = static_cast<std::uint32_t>(blockEnd - at);
        if (!handle->readAt(at, buffer.data(), bytes).ok)
            return endPass(context, VerifyOutcome::Failed, at / sectorBytes);
        if (const std::optional<std::uint64_t> mismatch = digests.firstMismatch(at, buffer.data(), bytes))
            return endPass(context, VerifyOutcome::Failed, *mismatch / sectorBytes);
        at = blockEnd;
        job.positionBytes = at - first;
        context.observer.copyProgress();
    }
    return endPass(context, VerifyOutcome::Passed);
}

} // namespace orvel
