#pragma once

#include "engine/copy_observer.h"
#include "engine/copy_worker.h"
#include "engine/pause_gate.h"

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace orvel {

class CProgressWnd;
class PanelHost;

// One operation as the GUI sees it: the worker thread that runs it, the pause
// gate that the cancel question holds it at, and the worker's calls carried
// to the GUI thread, where the worker waits for them to be handled. It
// outlives its progress window, which the host destroys while the worker
// waits in showHome, and is let go (its thread joined) when the next
// operation is set up or the program ends.
class OperationRun : public QObject, private CopyObserver {
    Q_OBJECT

public:
    // Lets go of the last run, then starts the operation that the slots hold,
    // shown in `window`, with the host's flags, rescue map and log folder.
    static OperationRun& start(PanelHost& host, CProgressWnd& window);

    // Lets go of the last run, if any, once its worker has ended. A worker
    // still waiting on the GUI thread is abandoned first: its copy is
    // cancelled and it shows nothing more.
    static void finishLast();

    OperationRun(const OperationRun&) = delete;
    OperationRun& operator=(const OperationRun&) = delete;
    ~OperationRun() override;

    PauseGate& pauseGate() { return pauseGate_; }

    // The worker thread has done all its work.
    bool finished() const;

    // The worker has sent the host home. From then on it owns the slots
    // again (it releases them), so the GUI must not touch them.
    bool wentHome() const { return pastHome_; }

    // The window is going. The host closes it while the worker goes home; a
    // window closed at any other time leaves nobody to show the operation
    // to, so the run is abandoned.
    void windowClosing();

private:
    OperationRun(PanelHost& host, CProgressWnd& window);

    // CopyObserver: called on the worker thread.
    void copyProgress() override;
    void killProgressTimer() override;
    MessageAnswer showMessage(const MessageRequest& request) override;
    void showHome() override;
    void openLog(const std::string& path) override;
    void progressRestarted() override;

    // Runs `call` on the GUI thread while the worker waits. False when the run
    // has been abandoned and nothing ran.
    template <typename Call>
    bool onGuiThread(Call&& call);

    // From now on the worker's calls return at once without touching the GUI,
    // and its copy stops at the next progress report.
    void abandon();

    PanelHost& host_;
    QPointer<CProgressWnd> window_;
    PauseGate pauseGate_;

    // The worker waits on its own lock and condition for the GUI thread to
    // run a call, rather than inside Qt's blocking call: so the wait can be
    // given up when the run is abandoned, and the hand-over of everything the
    // two threads share is ordered in a way race checkers can see.
    std::mutex callMutex_;
    std::condition_variable callFinished_;
    bool callRunning_ = false;
    bool callDone_ = false;
    bool abandoned_ = false;

    // GUI thread only.
    bool inShowHome_ = false;
    bool pastHome_ = false;
    // Last: its thread uses everything above.
    std::unique_ptr<CopyWorker> worker_;
};

} // namespace orvel
