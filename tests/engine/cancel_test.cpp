#include "engine/forward_copy.h"
#include "engine/reverse_copy.h"

#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel::test {
namespace {

using Transfers = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

class CancelTest : public SimCopyTest {
protected:
    void requestCancel() { job.state = JobState::CancelRequested; }

    // Cancels once the `n`th single-sector read of `sector` has been done.
    TransferHooks cancelAtSectorRead(std::uint64_t sector, int n)
    {
        auto reads = std::make_shared<int>(0);
        return {[this, sector, n, reads](std::uint64_t offset, std::uint32_t bytes) {
                    if (offset == sector * 512 && bytes == 512 && ++*reads == n)
                        requestCancel();
                },
                {}, {}};
    }

    // The run ended through the cancel exit with these counts.
    void expectCancelExit(std::uint64_t copied, std::uint64_t bad)
    {
        EXPECT_EQ(job.state, JobState::Cancelled);
        EXPECT_EQ(source.handle, nullptr);
        EXPECT_EQ(destination.handle, nullptr);
        EXPECT_EQ(source.sectorsCopied, copied);
        EXPECT_EQ(source.badSectors, bad);
        const std::string log = logText();
        EXPECT_EQ(occurrences(log, "Operation"), 1u) << log;
        EXPECT_NE(log.find("Operation Cancelled.\r\n" + std::to_string(copied) + " Sector(s) copied.\r\n" +
                           std::to_string(bad) + " Bad Sector(s) encountered.\r\n"),
                  std::string::npos)
            << log;
        EXPECT_EQ(observer.count(RecordingObserver::EventKind::KillTimer), 0u);
    }

    // The run stopped before its first block: no summary.
    void expectQuietStop()
    {
        EXPECT_EQ(job.state, JobState::Cancelled);
        EXPECT_EQ(source.handle, nullptr);
        EXPECT_EQ(destination.handle, nullptr);
        EXPECT_TRUE(sourceReads().empty());
        EXPECT_TRUE(destinationWrites().empty());
        EXPECT_EQ(logText().find("Operation"), std::string::npos);
    }
};

TEST_F(CancelTest, ForwardCancelBeforeTheStartTouchesNothing)
{
    makeDrives(simDrive(100), simDrive(100));
    requestCancel();

    EXPECT_EQ(runForward(), CopyOutcome::Stopped);

    expectQuietStop();
    EXPECT_TRUE(destinationEvents().empty());
}

TEST_F(CancelTest, ForwardCancelDuringDestinationPreparationStopsBeforeTheFirstBlock)
{
    makeDrives(simDrive(100), simDrive(100));
    hookHandle(destination, {{}, {}, [this] { requestCancel(); }});

    EXPECT_EQ(runForward(), CopyOutcome::Stopped);

    expectQuietStop();
    EXPECT_EQ(destinationEvents().size(), 1u);
}

TEST_F(CancelTest, ForwardCancelAtABlockReportSkipsThatBlock)
{
    makeDrives(simDrive(131073), simDrive(131073));
    observer.cancelAtProgress(job, 2);

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    // Block 1 was read while block 0 was written; the cancel keeps it off the destination.
    EXPECT_EQ(sourceReads(), (Transfers{{0, 65536}, {65536, 65536}}));
    EXPECT_EQ(destinationWrites(), (Transfers{{0, 65536}}));
    expectCancelExit(65536, 0);
}

TEST_F(CancelTest, ForwardCancelWhileABlockIsReadLeavesItUnwritten)
{
    makeDrives(simDrive(131073), simDrive(131073));
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == 65536u * 512)
                                requestCancel();
                        },
                        {}, {}});

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(destinationWrites(), (Transfers{{0, 65536}}));
    expectCancelExit(65536, 0);
}

TEST_F(CancelTest, ForwardCancelWhileABlockIsWrittenCountsItAndGoesNoFurther)
{
    makeDrives(simDrive(131073), simDrive(131073));
    hookHandle(destination, {{}, [this](std::uint64_t, std::uint32_t) { requestCancel(); }, {}});

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    // Block 1 was being read while block 0 was written; it is not written.
    EXPECT_EQ(sourceReads(), (Transfers{{0, 65536}, {65536, 65536}}));
    EXPECT_EQ(destinationWrites(), (Transfers{{0, 65536}}));
    expectCancelExit(65536, 0);
}

TEST_F(CancelTest, ForwardCancelWhileTheTailIsReadLeavesItUnwritten)
{
    makeDrives(simDrive(65537), simDrive(65537));
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == 65536u * 512)
                                requestCancel();
                        },
                        {}, {}});

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(destinationWrites(), (Transfers{{0, 65536}}));
    expectCancelExit(65536, 0);
}

TEST_F(CancelTest, ForwardCancelAtTheTailReportEndsRightAfterItsWrite)
{
    makeDrives(simDrive(65537), simDrive(65537));
    // Report 1 is the block's; report 2 follows the tail's read.
    observer.cancelAtProgress(job, 2);

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(destinationWrites(), (Transfers{{0, 65536}, {65536, 1}}));
    expectCancelExit(65537, 0);
}

TEST_F(CancelTest, ForwardCancelDuringTheSectorPassStopsAtTheNextSector)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{10, 1}};
    makeDrives(setup, simDrive(100));
    hookHandle(source, cancelAtSectorRead(5, 1));

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(destinationWrites(), (Transfers{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    expectCancelExit(5, 0);
}

TEST_F(CancelTest, ForwardCancelDuringARetryWritesNoMarker)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{10, 1}};
    makeDrives(setup, simDrive(100));
    source.retryCount = 3;
    // The pass's own read, then the first attempt.
    hookHandle(source, cancelAtSectorRead(10, 2));

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    EXPECT_EQ(sourceDrive().readCount(10), 3u);
    EXPECT_EQ(destinationWrites().size(), 10u);
    expectCancelExit(10, 1);
}

TEST_F(CancelTest, ReverseCancelBeforeTheStartStopsAfterPreparingTheDestination)
{
    makeDrives(simDrive(100), simDrive(100));
    requestCancel();

    EXPECT_EQ(runReverse(), CopyOutcome::Stopped);

    expectQuietStop();
    ASSERT_EQ(destinationEvents().size(), 1u);
    EXPECT_EQ(destinationEvents()[0].kind, SimEventKind::LayoutDeletion);
}

TEST_F(CancelTest, ReverseCancelAtTheTailReportLeavesTheTailUnwritten)
{
    makeDrives(simDrive(65537), simDrive(65537));
    observer.cancelAtProgress(job, 1);

    EXPECT_EQ(runReverse(), CopyOutcome::Cancelled);

    EXPECT_EQ(sourceReads(), (Transfers{{65536, 1}}));
    EXPECT_TRUE(destinationWrites().empty());
    expectCancelExit(0, 0);
}

TEST_F(CancelTest, ReverseCancelAfterABlockReadLeavesItUnwritten)
{
    makeDrives(simDrive(131072), simDrive(131072));
    // Report 1 comes before the first block's read, report 2 after it.
    observer.cancelAtProgress(job, 2);

    EXPECT_EQ(runReverse(), CopyOutcome::Cancelled);

    EXPECT_TRUE(readsTakenThenAhead({{65536, 65536}}, {{0, 65536}}));
    EXPECT_TRUE(destinationWrites().empty());
    expectCancelExit(0, 0);
}

TEST_F(CancelTest, ReverseCancelDuringTheSectorPassEndsAfterTheSectorsWrite)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{10, 1}};
    makeDrives(setup, simDrive(100));
    hookHandle(destination, {{},
                             [this](std::uint64_t offset, std::uint32_t bytes) {
                                 if (offset == 5 * 512 && bytes == 512)
                                     requestCancel();
                             },
                             {}});

    EXPECT_EQ(runReverse(), CopyOutcome::Cancelled);

    EXPECT_EQ(destinationWrites().back(), (std::pair<std::uint64_t, std::uint64_t>{5, 1}));
    expectCancelExit(6, 0);
}

} // namespace
} // namespace orvel::test
