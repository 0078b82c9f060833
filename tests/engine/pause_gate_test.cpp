#include "engine/pause_gate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace orvel {
namespace {

TEST(PauseGate, OpenGateLetsTheWorkerThrough)
{
    PauseGate gate;
    EXPECT_FALSE(gate.isPaused());
    gate.pass();
}

TEST(PauseGate, ResumeReleasesAWorkerWaitingAtTheGate)
{
    PauseGate gate;
    gate.pause();
    EXPECT_TRUE(gate.isPaused());
    std::atomic<bool> passed = false;
    std::thread worker([&] {
        gate.pass();
        passed = true;
    });

    gate.resume();
    worker.join();

    EXPECT_TRUE(passed);
    EXPECT_FALSE(gate.isPaused());
}

} // namespace
} // namespace orvel
