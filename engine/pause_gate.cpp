#include "engine/pause_gate.h"

namespace orvel {

void PauseGate::pause()
{
    const std::lock_guard lock(mutex_);
    paused_ = true;
}

void PauseGate::resume()
{
    {
        const std::lock_guard lock(mutex_);
        paused_ = false;
    }
    reopened_.notify_all();
}

bool PauseGate::isPaused() const
{
    const std::lock_guard lock(mutex_);
    return paused_;
}

void PauseGate::pass()
{
    std::unique_lock lock(mutex_);
    reopened_.wait(lock, [this] { return !paused_; });
}

} // namespace orvel
