#pragma once

#include "engine/message_box.h"

#include <string>

namespace orvel {

// How a running operation talks to whoever started it (the progress window,
// the command line, a test). Every call is made on the worker thread and
// returns only when the other side has handled it.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;

    // The job's positionBytes has moved: redraw the percentage.
    virtual void copyProgress() = 0;
    // Stop the progress window's one-second clock.
    virtual void killProgressTimer() = 0;
    // Show a message and wait until the operator has answered it.
    virtual MessageAnswer showMessage(const MessageRequest& request) = 0;
    // The operation is over: go back to the home panel.
    virtual void showHome() = 0;
    // Hand the finished operation's log to the operator.
    virtual void openLog(const std::string& path) = 0;
    // A second run (the retry of the bad sectors) starts in the same window:
    // its progress starts again from nothing.
    virtual void progressRestarted() {}
};

} // namespace orvel
