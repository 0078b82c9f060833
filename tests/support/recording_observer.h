#pragma once

#include "engine/copy_job.h"
#include "engine/copy_observer.h"
#include "engine/message_box.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace orvel::test {

// Stands in for the progress window: records every call a running operation
// makes, in order, and can answer a chosen progress report with a cancel.
// Calls arrive on the worker thread; read the records once it has ended.
class RecordingObserver : public CopyObserver {
public:
    enum class EventKind { Progress, KillTimer, Message, Home, OpenLog };

    struct Event {
        EventKind kind = EventKind::Progress;
        std::string text;  // the message text, or the log's path
    };

    // Records the job's positionBytes at every progress report.
    void watch(const CopyJob& job);
    // The `n`th progress report (counting from 1) asks `job` to cancel, as
    // the progress window does when the operator confirms.
    void cancelAtProgress(CopyJob& job, std::size_t n);
    // Runs at every progress report with its number (counting from 1).
    std::function<void(std::size_t)> onProgress;
    // What every message is answered with.
    MessageAnswer answer = MessageAnswer::Ok;

    void copyProgress() override;
    void killProgressTimer() override;
    MessageAnswer showMessage(const MessageRequest& request) override;
    void showHome() override;
    void openLog(const std::string& path) override;

    std::vector<Event> events() const;
    std::vector<EventKind> eventKinds() const;
    std::vector<MessageRequest> messages() const;
    std::vector<std::uint64_t> positions() const;
    // Positions with repeats of the same value folded into one.
    std::vector<std::uint64_t> distinctPositions() const;
    std::size_t count(EventKind kind) const;

private:
    void record(EventKind kind, std::string text = {});

    mutable std::mutex mutex_;
    const CopyJob* watched_ = nullptr;
    CopyJob* cancelJob_ = nullptr;
    std::size_t cancelAt_ = 0;
    std::size_t progressReports_ = 0;
    std::vector<Event> events_;
    std::vector<MessageRequest> messages_;
    std::vector<std::uint64_t> positions_;
};

// Answers message boxes from a script, in order, and records what was asked.
// Once the script is spent it answers Ok, or No to a question.
class ScriptedMessageBox : public MessageBoxService {
public:
    explicit ScriptedMessageBox(std::vector<MessageAnswer> answers = {});

    MessageAnswer show(const MessageRequest& request) override;

    std::vector<MessageRequest> requests() const;

private:
    mutable std::mutex mutex_;
    std::vector<MessageAnswer> answers_;
    std::size_t next_ = 0;
    std::vector<MessageRequest> requests_;
};

} // namespace orvel::test
