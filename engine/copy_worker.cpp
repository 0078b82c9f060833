#include "engine/copy_worker.h"

#include "engine/copy_steps.h"
#include "engine/forward_copy.h"
#include "engine/image_check.h"
#include "engine/image_checksum_file.h"
#include "engine/operation_log.h"
#include "engine/operation_slots.h"
#include "engine/retry_bad_pass.h"
#include "engine/reverse_copy.h"
#include "engine/verify_pass.h"

#include <filesystem>
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
        std::optional<std::string> digest = digests.imageSha256(imageBytes);
        // A resumed imaging wrote only part of the image: the rest is read back.
        if (!digest && context.resuming && context.destination.handle != nullptr) {
            context.job.phase = JobPhase::Verifying;
            digest = sha256OfImage(*context.destination.handle, imageBytes, context.job);
        }
        if (!digest || !writeChecksumFile(context.destination.name, *digest))
            appendLogLine(context.logPath, "Warning: the checksum file " + checksumPathFor(context.destination.name) +
                                               " could not be written.");
    }
    if (!context.verifyAfter) {
        context.destination.handle.reset();
        return CopyOutcome::Completed;
    }
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

std::string fileNameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// The run's map and where it is saved; none when the starter asked for none.
std::optional<MapRecorder> startMap(const MapSettings& settings, RescueMap& map, const CreatedLog& log)
{
    if (settings.run == MapSettings::Run::None)
        return std::nullopt;
    std::optional<MapRecorder> recorder;
    const std::string path = settings.run == MapSettings::Run::First ? mapPathForLog(log.path) : settings.path;
    recorder.emplace(map, path);
    if (settings.run == MapSettings::Run::Resume)
        appendLogLine(log.path, "Resumed from " + fileNameOf(path));
    if (settings.run == MapSettings::Run::RetryBad) {
        const std::uint64_t badSectors = map.bytesWith(MapStatus::BadSector) / map.header().source.sectorSize;
        appendLogLine(log.path, "Retrying " + std::to_string(badSectors) + " bad sectors from " + fileNameOf(path));
    }
    // At once, so that even a run killed in its first seconds leaves its map.
    if (!recorder->save())
        appendLogLine(log.path, "Warning: the rescue map " + path + " could not be written.");
    return recorder;
}

struct RunEnd {
    CopyOutcome outcome = CopyOutcome::Failed;
    bool verificationFailed = false;
};

// One run on the devices the slots hold: the log, the loop, and what follows
// a completed copy. Leaves both handles closed.
std::optional<RunEnd> runOnce(const WorkerSettings& settings, const MapSettings& mapSettings,
                              std::optional<RescueMap>& map, std::string& mapPath)
{
    const CreatedLog log = writeLogHeader(settings.logDirectory, sourceName, destinationName, *sourceDevice);
    if (!log.created) {
        // An operation nobody can read about afterwards is not started.
        settings.observer.killProgressTimer();
        settings.observer.showMessage({logRefusalText(log), "Error", MessageIcon::Error, MessageButtons::Ok});
        return std::nullopt;
    }
    logFileName = log.path;
    CopyContext context{*sourceDevice, *destinationDevice, *currentJob,   settings.observer,
                        settings.pauseGate, settings.cloningShown,  logFileName};
    const bool imaging = isImageFile(*destinationDevice);
    context.sourceIsImage = isImageFile(*sourceDevice);
    if (context.sourceIsImage) {
        const std::optional<std::string> checksum = readChecksumFile(sourceDevice->name);
        if (checksum && checksum->empty())
            appendLogLine(log.path, "Warning: " + checksumPathFor(sourceDevice->name) +
                                        " holds no SHA-256 digest; the image was not checked against it.");
        context.expectedImageSha256 = checksum.value_or("");
    }
    context.verifyAfter = settings.verify;
    // Digests only where something reads them: the writes stay one call each otherwise.
    const WriteDigests::Wanted wanted{settings.verify, imaging || !context.expectedImageSha256.empty()};
    std::optional<WriteDigests> digests;
    if (wanted.regions || wanted.imageSha256) {
        const auto [firstByte, endByte] = destinationSpan(*sourceDevice, *destinationDevice);
        context.digests = &digests.emplace(wanted, firstByte, endByte);
    }

    map = mapSettings.map;
    std::optional<MapRecorder> recorder = map ? startMap(mapSettings, *map, log) : std::nullopt;
    context.map = recorder ? &*recorder : nullptr;
    context.resuming = mapSettings.run == MapSettings::Run::Resume || mapSettings.run == MapSettings::Run::RetryBad;
    mapPath = recorder ? recorder->path() : std::string();

    RunEnd end;
    if (mapSettings.run == MapSettings::Run::RetryBad)
        end.outcome = runRetryBad(context);
    else
        end.outcome = settings.forwardCopy ? runForwardCopy(context) : runReverseCopy(context);
    if (recorder && !recorder->save())
        appendLogLine(logFileName, "Warning: the rescue map " + recorder->path() + " could not be written.");
    if (end.outcome == CopyOutcome::Completed && digests)
        end.outcome = afterCopy(context, *digests, end.verificationFailed);
    // Whatever ended the run, nothing stays open.
    destinationDevice->handle.reset();
    return end;
}

// Opens both devices of the run that just ended again, for a retry of its
// bad sectors, with the same range. False when either no longer opens.
bool reopenForRetry(DeviceAccess& access)
{
    DiskDevice& from = *sourceDevice;
    DiskDevice& to = *destinationDevice;
    DiskDevice source;
    DiskDevice destination;
    if (!openDevice(source, access, from.name, OpenMode::ReadOnly) || source.sectorSize != from.sectorSize)
        return false;
    if (to.kind == DeviceKind::ImageFile) {
        destination.handle = access.continueImageFile(to.name);
        if (destination.handle == nullptr)
            return false;
    } else if (!openDevice(destination, access, to.name, OpenMode::ReadWrite) ||
               destination.sectorSize != to.sectorSize) {
        return false;
    }
    from.handle = std::move(source.handle);
    to.handle = std::move(destination.handle);
    currentJob->state = JobState::Running;
    currentJob->phase = JobPhase::Copying;
    currentJob->positionBytes = 0;
    return true;
}

// A completed run that left bad sectors in its map, where the devices can be
// opened again: the closing message asks whether to read them again now.
bool offersRetry(const WorkerSettings& settings, const RunEnd& end, const std::optional<RescueMap>& map)
{
    return settings.access != nullptr && end.outcome == CopyOutcome::Completed && !end.verificationFailed && map &&
           map->bytesWith(MapStatus::BadSector) > 0;
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

    MapSettings mapSettings = settings.map;
    std::optional<RescueMap> map;
    std::optional<RunEnd> end;
    for (;;) {
        end = runOnce(settings, mapSettings, map, result.mapPath);
        if (!end)
            break;
        currentJob->state = JobState::Finished;
        settings.observer.killProgressTimer();
        if (!offersRetry(settings, *end, map)) {
            settings.observer.showMessage(closingMessage(end->outcome, end->verificationFailed));
            break;
        }
        const MessageAnswer answer =
            settings.observer.showMessage({std::string(kRetryBadSectorsQuestion), std::string(kEngineMessageCaption),
                                           MessageIcon::Question, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes)
            break;
        if (!reopenForRetry(*settings.access)) {
            settings.observer.showMessage({std::string(kReopenFailedMessage), "Error", MessageIcon::Error,
                                           MessageButtons::Ok});
            break;
        }
        mapSettings = {MapSettings::Run::RetryBad, std::move(map), result.mapPath};
        settings.observer.progressRestarted();
    }
    if (end)
        result.outcome = end->outcome;
    settings.observer.showHome();
    if (end && !logFileName.empty())
        settings.observer.openLog(logFileName);

    result.sectorsCopied = sourceDevice->sectorsCopied;
    result.badSectors = sourceDevice->badSectors;
    result.logPath = end ? logFileName : std::string();
    releaseOperationSlots();
    return result;
}

CopyWorker::CopyWorker(WorkerSettings settings)
    : settings_(std::move(settings)), thread_([this] {
          result_ = copyThreadProc(settings_);
          const std::lock_guard lock(mutex_);
          finished_ = true;
          done_.notify_all();
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

bool CopyWorker::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, timeout, [this] { return finished_.load(); });
}

const OperationResult& CopyWorker::wait()
{
    if (thread_.joinable())
        thread_.join();
    return result_;
}

} // namespace orvel
