#include "panels/operation_run.h"

#include "engine/messages.h"
#include "engine/operation_slots.h"
#include "panels/panel_host.h"
#include "panels/progress_wnd.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMetaObject>
#include <QString>
#include <QUrl>

#include <thread>
#include <utility>

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
    worker_ = std::make_unique<CopyWorker>(
        WorkerSettings{observer, pauseGate_, host.forwardCopy(), host.cloningShown(), host.logDirectory()});
}

OperationRun::~OperationRun()
{
    // After home the worker only opens the log and releases the slots, which
    // needs nothing of the GUI thread; before it, it may be waiting on us.
    if (!pastHome_)
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
    const std::lock_guard lock(callMutex_);
    if (abandoned_)
        return false;
    bool ran = false;
    QMetaObject::invokeMethod(
        this,
        [this, &call, &ran] {
            handlingCall_ = true;
            call();
            handlingCall_ = false;
            ran = true;
        },
        Qt::BlockingQueuedConnection);
    return ran;
}

void OperationRun::abandon()
{
    abandoned_ = true;
    pauseGate_.resume();
    // The worker waits on the call running now and sees the flag at its next.
    if (handlingCall_)
        return;
    // A call it posted and waits on is dropped, which lets it go on; once it
    // lets go of the lock it posts nothing more.
    while (!callMutex_.try_lock()) {
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        std::this_thread::yield();
    }
    callMutex_.unlock();
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
    QCoreApplication* application = QCoreApplication::instance();
    if (abandoned_ || application == nullptr)
        return;
    // The worker need not wait for the log viewer; the application object
    // outlives this run, so the call cannot be lost with it.
    QMetaObject::invokeMethod(
        application,
        [url = QUrl::fromLocalFile(QString::fromStdString(path))] { QDesktopServices::openUrl(url); },
        Qt::QueuedConnection);
}

} // namespace orvel
