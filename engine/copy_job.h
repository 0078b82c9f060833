#pragma once

#include <atomic>
#include <cstdint>

namespace orvel {

enum class JobState : std::int32_t {
    Finished = 0,
    Cancelled = 1,
    Running = 3,
    CancelRequested = 4,
};

// What the worker is doing: copying the range, then (when asked for)
// reading the destination back to verify it. Progress is of the phase shown.
enum class JobPhase : std::int32_t {
    Copying = 0,
    Verifying = 1,
};

// One clone, imaging or restore as the threads share it. `state` is the only
// value both threads write: the GUI asks for a cancel, the worker answers.
struct CopyJob {
    std::atomic<JobState> state = JobState::Running;
    std::atomic<std::uint64_t> positionBytes = 0;  // written by the worker
    std::atomic<std::uint64_t> endBytes = 0;       // the position that means 100 % (the verification resets it)
    std::atomic<JobPhase> phase = JobPhase::Copying;  // written by the worker
    // The worker is re-reading a failed block in pieces and sectors: progress
    // then crawls, so no time left can be estimated from it.
    std::atomic<bool> readingBadSectors = false;  // written by the worker

    bool cancelled() const
    {
        const JobState current = state.load();
        return current == JobState::CancelRequested || current == JobState::Cancelled;
    }
};

static_assert(sizeof(std::atomic<JobState>) == 4 && std::atomic<JobState>::is_always_lock_free,
              "the job state is read and written as one 32-bit value");

} // namespace orvel
