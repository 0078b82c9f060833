#include "support/recording_observer.h"

#include <algorithm>

namespace orvel::test {

void RecordingObserver::watch(const CopyJob& job)
{
    const std::lock_guard lock(mutex_);
    watched_ = &job;
}

void RecordingObserver::cancelAtProgress(CopyJob& job, std::size_t n)
{
    const std::lock_guard lock(mutex_);
    cancelJob_ = &job;
    cancelAt_ = n;
}

void RecordingObserver::copyProgress()
{
    std::size_t number = 0;
    {
        const std::lock_guard lock(mutex_);
        number = ++progressReports_;
        events_.push_back({EventKind::Progress, {}});
        if (watched_ != nullptr)
            positions_.push_back(watched_->positionBytes);
        if (cancelJob_ != nullptr && number == cancelAt_)
            cancelJob_->state = JobState::CancelRequested;
    }
    if (onProgress)
        onProgress(number);
}

void RecordingObserver::killProgressTimer()
{
    record(EventKind::KillTimer);
}

MessageAnswer RecordingObserver::showMessage(const MessageRequest& request)
{
    const std::lock_guard lock(mutex_);
    events_.push_back({EventKind::Message, request.text});
    messages_.push_back(request);
    return answer;
}

void RecordingObserver::showHome()
{
    record(EventKind::Home);
}

void RecordingObserver::openLog(const std::string& path)
{
    record(EventKind::OpenLog, path);
}

void RecordingObserver::record(EventKind kind, std::string text)
{
    const std::lock_guard lock(mutex_);
    events_.push_back({kind, std::move(text)});
}

std::vector<RecordingObserver::Event> RecordingObserver::events() const
{
    const std::lock_guard lock(mutex_);
    return events_;
}

std::vector<RecordingObserver::EventKind> RecordingObserver::eventKinds() const
{
    const std::lock_guard lock(mutex_);
    std::vector<EventKind> kinds;
    for (const Event& event : events_)
        kinds.push_back(event.kind);
    return kinds;
}

std::vector<MessageRequest> RecordingObserver::messages() const
{
    const std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::uint64_t> RecordingObserver::positions() const
{
    const std::lock_guard lock(mutex_);
    return positions_;
}

std::vector<std::uint64_t> RecordingObserver::distinctPositions() const
{
    std::vector<std::uint64_t> folded = positions();
    folded.erase(std::unique(folded.begin(), folded.end()), folded.end());
    return folded;
}

std::size_t RecordingObserver::count(EventKind kind) const
{
    const std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(
        std::count_if(events_.begin(), events_.end(), [kind](const Event& event) { return event.kind == kind; }));
}

ScriptedMessageBox::ScriptedMessageBox(std::vector<MessageAnswer> answers) : answers_(std::move(answers)) {}

MessageAnswer ScriptedMessageBox::show(const MessageRequest& request)
{
    const std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (next_ < answers_.size())
        return answers_[next_++];
    return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

std::vector<MessageRequest> ScriptedMessageBox::requests() const
{
    const std::lock_guard lock(mutex_);
    return requests_;
}

} // namespace orvel::test
