#include "engine/copy_worker.h"

#include "engine/copy_steps.h"
#include "engine/forward_copy.h"
#include "engine/image_checksum_file.h"
#include "engine/operation_log.h"
#include "engine/operation_slots.h"
#include "engine/reverse_copy.h"
#include "engine/verify_pass.h"

#include <optional>

namespace orvel {

namespace {

MessageRequest closingMessage(CopyOutcome outcome, bool verificationFailed)
{
    if (verificationFailed)
        return {std::string(kVerificationFailedMessage), std::string(kEngineMessageCaption), MessageIcon::Error,
                MessageButtons::Ok};
    if (outcome == CopyOutcome::Failed)
        return {std::string(kOperationFailedMessage), std::string(kEngineMessageCaption), MessageIcon::Error,
                MessageButtons::Ok};
    return {std::string(kOperationCompletedMessage), std::string(kEngineMessageCaption), MessageIcon::Information,
            MessageButtons::Ok};
}

bool isImageFile(const DiskDevice& device)
{
    return device.kind == DeviceKind::ImageFile;
}

// The destination bytes the run may write, for the digests' table.
std::pair<std::uint64_t, std::uint64_t> destinationSpan(const DiskDevice& source, const DiskDevice& destination)
{
    const std::uint64_t sectorBytes = copySectorBytes(source);
    const std::uint64_t first = destination.startSector * sectorBytes;
    return {first, first + (source.endSector - source.startSector) * sectorBytes};
}

// What follows a completed copy: an imaging's checksum file, then the
// verification when it was asked for.
CopyOutcome afterCopy(CopyContext& context, WriteDigests& digests, bool& verificationFailed)
{
    if (isImageFile(context.destination)) {
        const std::uint64_t imageBytes = (context.source.endSector - context.source.startSector) *
                                         copySectorBytes(context.source);
        const std::optional<std::string> digest = digests.imageSha256(imageBytes);
        if (!digest || !writeChecksumFile(context.destination.name, *digest))
            appendLogLine(context.logPath, "Warning: the checksum file " + checksumPathFor(context.destination.name) +
                                               " could not be written.");
    }
    if (!context.verifyAfter)
        return CopyOutcome::Completed;
    switch (verifyDestination(context, *digests.regions())) {
    case VerifyOutcome::Passed:
        return CopyOutcome::Completed;
    case VerifyOutcome::Cancelled:
        return CopyOutcome::Cancelled;
    case VerifyOutcome::Failed:
        break;
    }
    verificationFailed = true;
    return CopyOutcome::Failed;
}

} // namespace

OperationResult copyThreadProc(const WorkerSettings& settings)
{
    OperationResult result;
    if (!sourceDevice || !destinationDevice || !currentJob) {
        settings.observer.killProgressTimer();
        releaseOperationSlots();
        return result;
    }

    const CreatedLog log = writeLogHeader(settings.logDirectory, sourceName, destinationName, *sourceDevice);
    if (!log.created) {
        // An operation nobody can read about afterwards is not started.
        settings.observer.killProgressTimer();
        settings.observer.showMessage({logRefusalText(log), "Error", MessageIcon::Error, MessageButtons::Ok});
        settings.observer.showHome();
        releaseOperationSlots();
        return result;
    }
    logFileName = log.path;
    CopyContext context{*sourceDevice, *destinationDevice, *currentJob,   settings.observer,
                        settings.pauseGate, settings.cloningShown,  logFileName};
    const bool imaging = isImageFile(*destinationDevice);
    context.sourceIsImage = isImageFile(*sourceDevice);
    if (context.sourceIsImage)
        context.expectedImageSha256 = readChecksumFile(sourceDevice->name).value_or("");
    context.verifyAfter = settings.verify;
    // Digests only where something reads them: the writes stay one call each otherwise.
    const WriteDigests::Wanted wanted{settings.verify, imaging || !context.expectedImageSha256.empty()};
    std::optional<WriteDigests> digests;
    if (wanted.regions || wanted.imageSha256) {
        const auto [firstByte, endByte] = destinationSpan(*sourceDevice, *destinationDevice);
        context.digests = &digests.emplace(wanted, firstByte, endByte);
    }

    bool verificationFailed = false;
    result.outcome = settings.forwardCopy ? runForwardCopy(context) : runReverseCopy(context);
    if (result.outcome == CopyOutcome::Completed && digests)
        result.outcome = afterCopy(context, *digests, verificationFailed);
    // Whatever ended the run, nothing stays open.
    destinationDevice->handle.reset();
    currentJob->state = JobState::Finished;

    settings.observer.killProgressTimer();
    settings.observer.showMessage(closingMessage(result.outcome, verificationFailed));
    settings.observer.showHome();
    if (!logFileName.empty())
        settings.observer.openLog(logFileName);

    result.sectorsCopied = sourceDevice->sectorsCopied;
    result.badSectors = sourceDevice->badSectors;
    result.logPath = logFileName;
    releaseOperationSlots();
    return result;
}

CopyWorker::CopyWorker(WorkerSettings settings)
    : settings_(std::move(settings)), thread_([this] {
          result_ = copyThreadProc(settings_);
          finished_ = true;
      })
{
}

CopyWorker::~CopyWorker()
{
    if (thread_.joinable())
        thread_.join();
}

bool CopyWorker::finished() const
{
    return finished_;
}

const OperationResult& CopyWorker::wait()
{
    if (thread_.joinable())
        thread_.join();
    return result_;
}

} // namespace orvel
