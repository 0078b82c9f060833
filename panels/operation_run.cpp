#include "panels/operation_run.h"

#include "engine/operation_slots.h"
#include "panels/panel_host.h"
#include "panels/panel_messages.h"
#include "panels/posted_call.h"
#include "panels/progress_wnd.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace orvel {

namespace {

// The run of the last operation, kept until its worker can be joined.
std::unique_ptr<OperationRun>& lastRun()
{
    static std::unique_ptr<OperationRun> run;
    return run;
}

} // namespace

OperationRun& OperationRun::start(PanelHost& host, CProgressWnd& window)
{
    finishLast();
    lastRun().reset(new OperationRun(host, window));
    return *lastRun();
}

void OperationRun::finishLast()
{
    lastRun().reset();
}

OperationRun::OperationRun(PanelHost& host, CProgressWnd& window) : host_(host), window_(&window)
{
    CopyObserver& observer = *this;
    // With the devices' access the worker can offer to read bad sectors again.
    worker_ = std::make_unique<CopyWorker>(WorkerSettings{observer, pauseGate_, host.forwardCopy(), host.cloningShown(),
                                                         host.logDirectory(), host.verifyAfterCopy(),
                                                         host.takeMapSettings(), &host.platform().devices()});
}

OperationRun::~OperationRun()
{
    // A worker still waiting on the GUI thread gives up its call; after
    // home it has only the log to hand over and the slots to release.
    abandon();
    worker_.reset();
}

bool OperationRun::finished() const
{
    return worker_->finished();
}

void OperationRun::windowClosing()
{
    if (!inShowHome_ && !pastHome_)
        abandon();
}

template <typename Call>
bool OperationRun::onGuiThread(Call&& call)
{
    std::unique_lock lock(callMutex_);
    if (abandoned_)
        return false;
    callDone_ = false;
    postCall(*this, [this, &call] {
        {
            const std::lock_guard guard(callMutex_);
            if (abandoned_)
                return;
            callRunning_ = true;
        }
        call();
        {
            const std::lock_guard guard(callMutex_);
            callRunning_ = false;
            callDone_ = true;
        }
        callFinished_.notify_all();
    });
    // An abandoned call still running on the GUI thread uses the worker's
    // stack, so the worker waits for it to return.
    callFinished_.wait(lock, [this] { return callDone_ || (abandoned_ && !callRunning_); });
    return callDone_;
}

void OperationRun::abandon()
{
    {
        const std::lock_guard lock(callMutex_);
        abandoned_ = true;
    }
    callFinished_.notify_all();
    pauseGate_.resume();
}

void OperationRun::copyProgress()
{
    const bool shown = onGuiThread([this] {
        if (window_)
            window_->refreshPercentage();
    });
    // Nobody watches an abandoned copy: it ends at its next cancel check.
    if (!shown && currentJob)
        currentJob->state = JobState::CancelRequested;
}

void OperationRun::killProgressTimer()
{
    onGuiThread([this] {
        if (window_)
            window_->stopClock();
    });
}

void OperationRun::progressRestarted()
{
    onGuiThread([this] {
        if (window_)
            window_->restartProgress();
    });
}

MessageAnswer OperationRun::showMessage(const MessageRequest& request)
{
    MessageAnswer answer = MessageAnswer::Ok;
    onGuiThread([this, &request, &answer] { answer = host_.messageBoxes().show(request); });
    return answer;
}

void OperationRun::showHome()
{
    onGuiThread([this] {
        inShowHome_ = true;
        host_.handlePanelMessage(WM_SHOW_HOME);  // destroys the progress window
        inShowHome_ = false;
        pastHome_ = true;
    });
}

void OperationRun::openLog(const std::string& path)
{
    onGuiThread([&path] { QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))); });
}

} // namespace orvel
