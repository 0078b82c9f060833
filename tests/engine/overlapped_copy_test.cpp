#include "engine/forward_copy.h"
#include "engine/reverse_copy.h"

#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace orvel::test {
namespace {

using Transfers = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

constexpr std::uint64_t kBlock = 65536;
constexpr std::uint64_t kFourBlocks = 4 * kBlock;

class OverlappedCopyTest : public SimCopyTest {
protected:
    void requestCancel() { job.state = JobState::CancelRequested; }

    // Cancels while the block at `sector` is written.
    TransferHooks cancelWhileWriting(std::uint64_t sector)
    {
        return {{},
                [this, sector](std::uint64_t offset, std::uint32_t) {
                    if (offset == sector * 512)
                        requestCancel();
                },
                {}};
    }

    // A cancel asked for while the last block of `taken` is written keeps
    // that block and writes none of the blocks read ahead of it.
    void expectCancelDuringAWrite(bool forward, const Transfers& taken, const Transfers& ahead)
    {
        makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
        hookHandle(destination, cancelWhileWriting(taken.back().first));

        EXPECT_EQ(forward ? runForward() : runReverse(), CopyOutcome::Cancelled);

        EXPECT_TRUE(readsTakenThenAhead(taken, ahead));
        EXPECT_EQ(destinationWrites(), taken);
        EXPECT_EQ(source.sectorsCopied, 2 * kBlock);
        EXPECT_EQ(job.state, JobState::Cancelled);
        expectOneSummary("Operation Cancelled.\r\n131072 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
    }

    // Waits (boundedly, so that a broken loop cannot hang the test) for `done`.
    template <typename Condition>
    static void waitUntil(Condition done)
    {
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    bool sourceHasRead(std::uint64_t sector)
    {
        const Transfers reads = sourceReads();
        return std::find(reads.begin(), reads.end(), std::make_pair(sector, kBlock)) != reads.end();
    }

    // Holds the loop in its write of the block at `sector` until the source
    // has read `awaited`: a loop that reads only after it wrote would never
    // get there.
    // The bound only keeps such a loop from hanging the test.
    TransferHooks holdWriteUntilRead(std::uint64_t sector, std::uint64_t awaited, std::atomic<bool>& seen)
    {
        return {{},
                [this, sector, awaited, &seen](std::uint64_t offset, std::uint32_t) {
                    if (offset != sector * 512)
                        return;
                    waitUntil([&] { return sourceHasRead(awaited); });
                    seen = sourceHasRead(awaited);
                },
                {}};
    }

    void expectOneSummary(const std::string& summary)
    {
        const std::string log = logText();
        EXPECT_EQ(occurrences(log, "Operation"), 1u) << log;
        EXPECT_TRUE(log.ends_with(summary)) << log;
        EXPECT_EQ(source.handle, nullptr);
        EXPECT_EQ(destination.handle, nullptr);
        EXPECT_EQ(observer.count(RecordingObserver::EventKind::KillTimer), 0u);
    }
};

TEST_F(OverlappedCopyTest, ForwardReadsThreeBlocksAheadWhileWritingOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    std::atomic<bool> seen = false;
    hookHandle(destination, holdWriteUntilRead(0, 3 * kBlock, seen));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(seen) << "block 3 was not read while block 0 was written";
    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks));
}

TEST_F(OverlappedCopyTest, ReverseReadsThreeBlocksBelowWhileWritingOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    std::atomic<bool> seen = false;
    hookHandle(destination, holdWriteUntilRead(3 * kBlock, 0, seen));

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_TRUE(seen) << "block 0 was not read while block 3 was written";
    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks));
}

TEST_F(OverlappedCopyTest, ForwardCancelDuringAWriteKeepsThatBlockAndNoneReadAhead)
{
    expectCancelDuringAWrite(true, {{0, kBlock}, {kBlock, kBlock}}, {{2 * kBlock, kBlock}, {3 * kBlock, kBlock}});
}

TEST_F(OverlappedCopyTest, ReverseCancelDuringAWriteKeepsThatBlockAndNoneReadAhead)
{
    expectCancelDuringAWrite(false, {{3 * kBlock, kBlock}, {2 * kBlock, kBlock}}, {{kBlock, kBlock}, {0, kBlock}});
}

TEST_F(OverlappedCopyTest, ForwardWriteErrorStopsAfterTheReadInFlight)
{
    SimDriveSetup destinationSetup = simDrive(kFourBlocks);
    destinationSetup.faults.failingWrites = {{kBlock + 7, 1}};
    makeDrives(simDrive(kFourBlocks), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    // Blocks after block 1 were read while its write failed; none is written.
    EXPECT_TRUE(readsTakenThenAhead({{0, kBlock}, {kBlock, kBlock}}, {{2 * kBlock, kBlock}, {3 * kBlock, kBlock}}));
    EXPECT_EQ(destinationWrites(), (Transfers{{0, kBlock}, {kBlock, kBlock}}));
    EXPECT_EQ(source.sectorsCopied, kBlock);
    const std::vector<SimEvent> events = destinationEvents();
    EXPECT_TRUE(std::none_of(events.begin(), events.end(),
                             [](const SimEvent& event) { return event.kind == SimEventKind::Flush; }));
    expectOneSummary("Write error encountered. Sector No.\t:\t65536\r\n"
                     "Operation failed.\r\n65536 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
}

TEST_F(OverlappedCopyTest, ReverseWriteErrorStopsAfterTheReadInFlight)
{
    SimDriveSetup destinationSetup = simDrive(kFourBlocks);
    destinationSetup.faults.failingWrites = {{2 * kBlock + 7, 1}};
    makeDrives(simDrive(kFourBlocks), destinationSetup);

    EXPECT_EQ(runReverse(), CopyOutcome::Failed);

    EXPECT_TRUE(readsTakenThenAhead({{3 * kBlock, kBlock}, {2 * kBlock, kBlock}}, {{kBlock, kBlock}, {0, kBlock}}));
    EXPECT_EQ(source.sectorsCopied, kBlock);
    expectOneSummary("Write error encountered. Sector No.\t:\t131072\r\n"
                     "Operation failed.\r\n65536 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
}

// While the operator is asked, the read already begun ends and no other
// begins; the copy then goes on without reading a block twice.
TEST_F(OverlappedCopyTest, PauseStopsTheReadsAhead)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    hookHandle(destination, {{}, [this](std::uint64_t offset, std::uint32_t) {
                                 if (offset == 0)
                                     gate.pause();
                             }, {}});
    // Block 1's read is still going when the loop meets the pause, with
    // blocks 2 and 3 queued behind it.
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset != kBlock * 512)
                                return;
                            waitUntil([this] { return gate.isPaused(); });
                            std::this_thread::sleep_for(std::chrono::milliseconds(300));
                        },
                        {}, {}});
    Transfers readsWhilePaused;
    std::thread operatorAsked([&] {
        waitUntil([this] { return gate.isPaused(); });
        std::this_thread::sleep_for(std::chrono::seconds(1));
        readsWhilePaused = sourceReads();
        gate.resume();
    });

    EXPECT_EQ(runForward(), CopyOutcome::Completed);
    operatorAsked.join();

    EXPECT_EQ(readsWhilePaused, (Transfers{{0, kBlock}, {kBlock, kBlock}}));
    EXPECT_EQ(sourceReads(), (Transfers{{0, kBlock}, {kBlock, kBlock}, {2 * kBlock, kBlock}, {3 * kBlock, kBlock}}));
    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks));
}

TEST_F(OverlappedCopyTest, BlockThatFailsToReadAheadGoesThroughThePassInItsTurn)
{
    SimDriveSetup setup = simDrive(kFourBlocks);
    setup.badSectors = {{2 * kBlock + 5, 1}};
    makeDrives(setup, simDrive(kFourBlocks));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks, {2 * kBlock + 5}));
    EXPECT_EQ(source.sectorsCopied, kFourBlocks - 1);
    // The blocks and the failed block's pieces reach the destination in order.
    const Transfers writes = destinationWrites();
    EXPECT_TRUE(std::is_sorted(writes.begin(), writes.end()));
    EXPECT_EQ(writes.back(), (std::pair<std::uint64_t, std::uint64_t>{3 * kBlock, kBlock}));
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t131077\r\n"
                             "Operation successfully completed.\r\n262143 Sector(s) copied.\r\n"),
              std::string::npos);
}

} // namespace
} // namespace orvel::test
