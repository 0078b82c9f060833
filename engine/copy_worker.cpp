#include "engine/copy_worker.h"

#include "engine/copy_steps.h"
#include "engine/forward_copy.h"
#include "engine/operation_log.h"
#include "engine/operation_slots.h"
#include "engine/reverse_copy.h"

namespace orvel {

namespace {

MessageRequest closingMessage(CopyOutcome outcome)
{
    if (outcome == CopyOutcome::Failed)
        return {std::string(kOperationFailedMessage), std::string(kEngineMessageCaption), MessageIcon::Error,
                MessageButtons::Ok};
    return {std::string(kOperationCompletedMessage), std::string(kEngineMessageCaption), MessageIcon::Information,
            MessageButtons::Ok};
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
    result.outcome = settings.forwardCopy ? runForwardCopy(context) : runReverseCopy(context);
    currentJob->state = JobState::Finished;

    settings.observer.killProgressTimer();
    settings.observer.showMessage(closingMessage(result.outcome));
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
