#pragma once

#include <condition_variable>
#include <mutex>

namespace orvel {

// Holds the worker still between transfers while the operator is asked
// whether to cancel. The worker passes the gate at every cancel check; the
// asking side only flips it, so the question never waits on the worker.
class PauseGate {
public:
    // Closes the gate: the worker stops at its next check.
    void pause();
    // Opens it again and lets a waiting worker go on.
    void resume();
    bool isPaused() const;

    // Called by the worker: returns at once when open, else when reopened.
    void pass();

private:
    mutable std::mutex mutex_;
    std::condition_variable reopened_;
    bool paused_ = false;
};

} // namespace orvel
