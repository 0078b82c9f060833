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

    // Cancels as soon as the block at `sector` has been read.
    TransferHooks cancelAfterReading(std::uint64_t sector)
    {
        return {[this, sector](std::uint64_t offset, std::uint32_t bytes) {
                    if (offset == sector * 512 && bytes == kBlock * 512)
                        requestCancel();
                },
                {}, {}};
    }

    bool sourceHasRead(std::uint64_t sector)
    {
        const Transfers reads = sourceReads();
        return std::find(reads.begin(), reads.end(), std::make_pair(sector, kBlock)) != reads.end();
    }

    // Holds the write of the block at `sector` until the source has read
    // `awaited`: a loop that reads only after it wrote would never get there.
    // The bound only keeps such a loop from hanging the test.
    TransferHooks holdWriteUntilRead(std::uint64_t sector, std::uint64_t awaited, std::atomic<bool>& seen)
    {
        return {{},
                [this, sector, awaited, &seen](std::uint64_t offset, std::uint32_t) {
                    if (offset != sector * 512)
                        return;
                    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                    while (!sourceHasRead(awaited) && std::chrono::steady_clock::now() < giveUp)
                        std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

TEST_F(OverlappedCopyTest, ForwardReadsTheNextBlockWhileWritingOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    std::atomic<bool> seen = false;
    hookHandle(destination, holdWriteUntilRead(kBlock, 2 * kBlock, seen));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(seen) << "block 2 was not read while block 1 was written";
    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks));
}

TEST_F(OverlappedCopyTest, ReverseReadsTheBlockBelowWhileWritingOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    std::atomic<bool> seen = false;
    hookHandle(destination, holdWriteUntilRead(2 * kBlock, kBlock, seen));

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_TRUE(seen) << "block 1 was not read while block 2 was written";
    EXPECT_TRUE(holdsSource(0, 0, kFourBlocks));
}

TEST_F(OverlappedCopyTest, ForwardCancelWhileTheNextBlockIsReadStillWritesTheCurrentOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    hookHandle(source, cancelAfterReading(2 * kBlock));

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(sourceReads(), (Transfers{{0, kBlock}, {kBlock, kBlock}, {2 * kBlock, kBlock}}));
    EXPECT_EQ(destinationWrites(), (Transfers{{0, kBlock}, {kBlock, kBlock}}));
    EXPECT_EQ(source.sectorsCopied, 2 * kBlock);
    EXPECT_EQ(job.state, JobState::Cancelled);
    expectOneSummary("Operation Cancelled.\r\n131072 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
}

TEST_F(OverlappedCopyTest, ReverseCancelWhileTheBlockBelowIsReadStillWritesTheCurrentOne)
{
    makeDrives(simDrive(kFourBlocks), simDrive(kFourBlocks));
    hookHandle(source, cancelAfterReading(kBlock));

    EXPECT_EQ(runReverse(), CopyOutcome::Cancelled);

    EXPECT_EQ(sourceReads(), (Transfers{{3 * kBlock, kBlock}, {2 * kBlock, kBlock}, {kBlock, kBlock}}));
    EXPECT_EQ(destinationWrites(), (Transfers{{3 * kBlock, kBlock}, {2 * kBlock, kBlock}}));
    EXPECT_EQ(source.sectorsCopied, 2 * kBlock);
    expectOneSummary("Operation Cancelled.\r\n131072 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
}

TEST_F(OverlappedCopyTest, ForwardWriteErrorStopsAfterTheReadInFlight)
{
    SimDriveSetup destinationSetup = simDrive(kFourBlocks);
    destinationSetup.faults.failingWrites = {{kBlock + 7, 1}};
    makeDrives(simDrive(kFourBlocks), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    // Block 2 was being read while block 1's write failed; nothing after it.
    EXPECT_EQ(sourceReads(), (Transfers{{0, kBlock}, {kBlock, kBlock}, {2 * kBlock, kBlock}}));
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

    EXPECT_EQ(sourceReads(), (Transfers{{3 * kBlock, kBlock}, {2 * kBlock, kBlock}, {kBlock, kBlock}}));
    EXPECT_EQ(source.sectorsCopied, kBlock);
    expectOneSummary("Write error encountered. Sector No.\t:\t131072\r\n"
                     "Operation failed.\r\n65536 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n");
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
