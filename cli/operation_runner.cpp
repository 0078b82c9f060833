#include "cli/operation_runner.h"

#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "engine/copy_worker.h"
#include "engine/operation_slots.h"
#include "platform/terminal.h"

#include <chrono>
#include <mutex>
#include <ostream>

namespace orvel::cli {

namespace {

using Clock = std::chrono::steady_clock;

// The worker's side of a command-line operation. The job and the source stay
// alive until the worker goes home, so the command reads and cancels them only
// until then.
class CommandLineObserver : public CopyObserver {
public:
    CommandLineObserver(CopyJob& job, DiskDevice& source, std::ostream& out, std::ostream& err)
        : job_(job), source_(source), out_(out), err_(err)
    {
    }

    void copyProgress() override {}
    void killProgressTimer() override {}

    MessageAnswer showMessage(const MessageRequest& request) override
    {
        std::lock_guard lock(mutex_);
        // The closing message is said once, by the outcome line with its counts
        // (a failed verification's is an error of its own, and is said).
        if (request.text == kOperationCompletedMessage || request.text == kOperationFailedMessage)
            return MessageAnswer::Ok;
        endProgressLine();
        if (request.icon == MessageIcon::Error) {
            errorShown_ = true;
            err_ << "Error: " << request.text << '\n';
        } else {
            out_ << request.text << '\n';
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }

    // An error the worker reported along the way (a log that could not be
    // written, a refused destination) fails the run whatever its outcome.
    bool errorShown()
    {
        std::lock_guard lock(mutex_);
        return errorShown_;
    }

    void showHome() override
    {
        std::lock_guard lock(mutex_);
        over_ = true;
    }

    void openLog(const std::string&) override {}

    JobPhase phase()
    {
        std::lock_guard lock(mutex_);
        return over_ ? JobPhase::Copying : job_.phase.load();
    }

    void requestCancel()
    {
        std::lock_guard lock(mutex_);
        if (!over_ && job_.state.load() == JobState::Running)
            job_.state = JobState::CancelRequested;
    }

    // One progress line while the operation lasts: rewritten in place on a
    // terminal, a line of its own elsewhere.
    void showProgress(std::uint64_t startBytes, double elapsedSeconds, bool onTerminal)
    {
        std::lock_guard lock(mutex_);
        if (over_)
            return;
        const bool verifying = job_.phase.load() == JobPhase::Verifying;
        const std::string line =
            progressLine(ProgressSnapshot{job_.positionBytes.load(), job_.endBytes, startBytes, elapsedSeconds,
                                          source_.badSectors.load(), verifying, job_.readingBadSectors.load()});
        if (onTerminal) {
            out_ << '\r' << line << "\x1b[K" << std::flush;
            lineOpen_ = true;
        } else {
            out_ << line << '\n' << std::flush;
        }
    }

    void endProgressLine()
    {
        if (lineOpen_)
            out_ << '\n';
        lineOpen_ = false;
    }

private:
    bool lineOpen_ = false;
    std::mutex mutex_;
    bool over_ = false;
    bool errorShown_ = false;
    CopyJob& job_;
    DiskDevice& source_;
    std::ostream& out_;
    std::ostream& err_;
};

int exitStatusOf(CopyOutcome outcome)
{
    switch (outcome) {
    case CopyOutcome::Completed:
        return kExitCompleted;
    case CopyOutcome::Cancelled:
    case CopyOutcome::Stopped:
        return kExitCancelled;
    case CopyOutcome::Failed:
        break;
    }
    return kExitFailed;
}

const char* outcomeText(CopyOutcome outcome)
{
    switch (outcome) {
    case CopyOutcome::Completed:
        return "Operation successfully completed.";
    case CopyOutcome::Cancelled:
    case CopyOutcome::Stopped:
        return "Operation Cancelled.";
    case CopyOutcome::Failed:
        break;
    }
    return "Operation failed.";
}

} // namespace

int runPreparedOperation(const RunSettings& settings, std::ostream& out, std::ostream& err)
{
    CommandLineObserver observer(*currentJob, *sourceDevice, out, err);
    PauseGate pauseGate;
    std::uint64_t startBytes = currentJob->positionBytes;
    const bool onTerminal = isTerminal(StandardStream::Output);
    const auto started = Clock::now();
    auto lastLine = started;

    watchCancelSignals();
    CopyWorker worker(WorkerSettings{observer, pauseGate, settings.forwardCopy, settings.cloningShown,
                                     settings.logDirectory, settings.verify, settings.map});
    bool cancelAsked = false;
    JobPhase phase = JobPhase::Copying;
    auto phaseStarted = started;
    while (!worker.waitFor(std::chrono::milliseconds(200))) {
        if (!cancelAsked && cancelSignalReceived()) {
            cancelAsked = true;
            observer.requestCancel();
        }
        if (settings.quiet)
            continue;
        const auto now = Clock::now();
        // The verification's rate and time left are its own, measured from its start.
        const JobPhase phaseNow = observer.phase();
        if (phaseNow != phase) {
            phase = phaseNow;
            phaseStarted = now;
            startBytes = 0;
        }
        // On a terminal one line that keeps changing; elsewhere a line every few seconds.
        if (!onTerminal && now - lastLine < std::chrono::seconds(5))
            continue;
        lastLine = now;
        observer.showProgress(startBytes, std::chrono::duration<double>(now - phaseStarted).count(), onTerminal);
    }
    const OperationResult& result = worker.wait();

    out << outcomeText(result.outcome) << ' ' << result.sectorsCopied << " sector(s) copied, " << result.badSectors
        << " bad sector(s).\n";
    if (!result.logPath.empty())
        out << "Log: " << result.logPath << '\n';
    if (!result.mapPath.empty()) {
        out << "Map: " << result.mapPath << '\n';
        if (result.outcome != CopyOutcome::Completed)
            out << "To go on from where it stopped, run the same command with --resume \"" << result.mapPath << "\".\n";
        else if (result.badSectors > 0)
            out << "To read the bad sectors again later, run the same command with --retry-bad \"" << result.mapPath
                << "\".\n";
    }
    return observer.errorShown() ? kExitFailed : exitStatusOf(result.outcome);
}

} // namespace orvel::cli
