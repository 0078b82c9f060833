#include "engine/forward_copy.h"

#include "marker_bytes.h"
#include "sim_copy_fixture.h"

#include "platform/sim/sim_drive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using Transfers = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
using Positions = std::vector<std::uint64_t>;

struct Split {
    std::uint64_t sectors;
    Transfers reads;
    Positions positions;  // in sectors, repeats folded
};

void PrintTo(const Split& split, std::ostream* out)
{
    *out << split.sectors << " sectors";
}

class ForwardSplitTest : public SimCopyTest, public ::testing::WithParamInterface<Split> {};

TEST_P(ForwardSplitTest, CopiesBlocksThenTailAndReportsEachPosition)
{
    const Split& split = GetParam();
    makeDrives(simDrive(split.sectors), simDrive(split.sectors));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(sourceReads(), split.reads);
    EXPECT_EQ(destinationWrites(), split.reads);
    Positions expectedBytes;
    for (const std::uint64_t sector : split.positions)
        expectedBytes.push_back(sector * 512);
    EXPECT_EQ(observer.distinctPositions(), expectedBytes);
    EXPECT_EQ(source.sectorsCopied, split.sectors);
    EXPECT_EQ(source.badSectors, 0u);
    EXPECT_EQ(source.handle, nullptr);
    EXPECT_EQ(destination.handle, nullptr);
    EXPECT_TRUE(holdsSource(0, 0, split.sectors));
    EXPECT_EQ(observer.count(RecordingObserver::EventKind::KillTimer), 1u);
    EXPECT_NE(logText().find("Operation successfully completed.\r\n" + std::to_string(split.sectors) +
                             " Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ForwardSplitTest,
    ::testing::Values(Split{65535, {{0, 65535}}, {0, 65535}},
                      Split{65536, {{0, 65536}}, {0, 65536}},
                      Split{65537, {{0, 65536}, {65536, 1}}, {0, 65536, 65537}},
                      Split{131072, {{0, 65536}, {65536, 65536}}, {0, 65536, 131072}},
                      Split{200000,
                            {{0, 65536}, {65536, 65536}, {131072, 65536}, {196608, 3392}},
                            {0, 65536, 131072, 196608, 200000}}),
    [](const ::testing::TestParamInfo<Split>& param) { return std::to_string(param.param.sectors) + "Sectors"; });

TEST_F(SimCopyTest, ForwardEmptyRangeCompletesWithNothingCopied)
{
    makeDrives(simDrive(1000), simDrive(1000));
    source.startSector = 600;
    source.endSector = 600;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(sourceReads().empty());
    EXPECT_TRUE(destinationWrites().empty());
    EXPECT_EQ(job.positionBytes, 600u * 512);
    EXPECT_EQ(afterTimeLine(logText()),
              "Source Disk --------> Destination Disk\r\n"
              "Start Sector  :  600\r\n"
              "End Sector :  599\r\n"
              "Operation successfully completed.\r\n"
              "0 Sector(s) copied.\r\n"
              "0 Bad Sector(s) encountered.\r\n");
}

TEST_F(SimCopyTest, ForwardBadSectorInBlockIsReadAgainLoggedOnceAndMarked)
{
    SimDriveSetup setup = simDrive(65537);
    setup.badSectors = {{300, 1}};
    makeDrives(setup, simDrive(65537));
    source.retryCount = 2;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    // The block read, the read of its 128 KiB piece, its own read and two attempts.
    EXPECT_EQ(sourceDrive().readCount(300), 5u);
    EXPECT_EQ(source.badSectors, 1u);
    EXPECT_EQ(source.sectorsCopied, 65536u);
    EXPECT_EQ(destinationBytes(300, 1), fullMarkerSector(512));
    EXPECT_TRUE(holdsSource(0, 0, 65537, {300}));
    EXPECT_EQ(occurrences(logText(), "Bad Sector encountered."), 1u);
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t300\r\n"), std::string::npos);
}

TEST_F(SimCopyTest, ForwardBadSectorInTailWithoutRetriesIsReadOnceInThePass)
{
    SimDriveSetup setup = simDrive(65540);
    setup.badSectors = {{65538, 1}};
    makeDrives(setup, simDrive(65540));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(sourceDrive().readCount(65538), 2u);
    EXPECT_EQ(source.badSectors, 1u);
    EXPECT_EQ(source.sectorsCopied, 65539u);
    EXPECT_EQ(destinationBytes(65538, 1), shortMarkerSector(512));
    EXPECT_TRUE(holdsSource(0, 0, 65540, {65538}));
    EXPECT_EQ(observer.distinctPositions().back(), 65540u * 512);
}

TEST_F(SimCopyTest, ForwardReadThatComesBackShortIsAFailedRead)
{
    makeDrives(simDrive(1000), simDrive(1010));
    // A range past the source's end: the tail read can only come back short.
    source.endSector = 1010;
    source.retryCount = 0;
    prepareJob();

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(holdsSource(0, 0, 1000));
    EXPECT_EQ(destinationBytes(1009, 1), shortMarkerSector(512));
    EXPECT_EQ(source.sectorsCopied, 1000u);
    EXPECT_EQ(source.badSectors, 10u);
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t1000\r\n"), std::string::npos);
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t1009\r\n"), std::string::npos);
    EXPECT_EQ(logText().find("Bad Sector encountered. Sector No.\t:\t999\r\n"), std::string::npos);
}

TEST_F(SimCopyTest, ForwardSectorThatReadsOnARetryIsWrittenOnceAndKeepsItsData)
{
    SimDriveSetup setup = simDrive(65537);
    // Fails the block read, the pass's read and the first attempt.
    setup.faults.flakySectors = {{300, 3}};
    makeDrives(setup, simDrive(65537));
    source.retryCount = 5;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(sourceDrive().readCount(300), 4u);
    const Transfers writes = destinationWrites();
    EXPECT_EQ(std::count(writes.begin(), writes.end(), std::make_pair(std::uint64_t{300}, std::uint64_t{1})), 1);
    EXPECT_TRUE(holdsSource(0, 0, 65537));
    EXPECT_EQ(source.badSectors, 1u);
    EXPECT_EQ(source.sectorsCopied, 65536u);
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t300\r\n"), std::string::npos);
}

TEST_F(SimCopyTest, ForwardRangeLandsAtTheDestinationStartInBlocksTailAndPass)
{
    SimDriveSetup setup = simDrive(70000);
    setup.badSectors = {{1500, 1}, {66600, 1}};
    makeDrives(setup, simDrive(75000));
    source.startSector = 1000;
    source.endSector = 1000 + 65536 + 100;
    destination.startSector = 5000;
    source.retryCount = 1;
    prepareJob();

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(observer.distinctPositions().front(), 1000u * 512);
    EXPECT_TRUE(holdsSource(5000, 1000, 65636, {1500, 66600}));
    EXPECT_EQ(destinationBytes(5500, 1), fullMarkerSector(512));
    EXPECT_EQ(destinationBytes(70600, 1), fullMarkerSector(512));
    EXPECT_EQ(destinationBytes(4999, 1), std::vector<std::uint8_t>(512, 0));
    EXPECT_EQ(destinationBytes(70636, 1), std::vector<std::uint8_t>(512, 0));
    for (const auto& [first, count] : destinationWrites()) {
        EXPECT_GE(first, 5000u);
        EXPECT_LE(first + count, 70636u);
    }
    EXPECT_EQ(source.sectorsCopied, 65634u);
    EXPECT_EQ(afterTimeLine(logText()),
              "Source Disk --------> Destination Disk\r\n"
              "Start Sector  :  1000\r\n"
              "End Sector :  66635\r\n"
              "Bad Sector encountered. Sector No.\t:\t1500\r\n"
              "Bad Sector encountered. Sector No.\t:\t66600\r\n"
              "Operation successfully completed.\r\n"
              "65634 Sector(s) copied.\r\n"
              "2 Bad Sector(s) encountered.\r\n");
}

TEST_F(SimCopyTest, ForwardImagingWritesARawImageWithoutPreparingAnything)
{
    SimDriveSetup setup = simDrive(70000);
    setup.badSectors = {{69999, 1}};
    makeImaging(setup);
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_TRUE(observer.messages().empty());
    EXPECT_TRUE(holdsSource(0, 0, 70000, {69999}));
    EXPECT_EQ(destinationBytes(69999, 1), shortMarkerSector(512));
    EXPECT_EQ(fileBytes(destinationPath, 0, 80000 * 512).size(), 70000u * 512);
}

TEST_F(SimCopyTest, ForwardDeletesTheDestinationLayoutBeforeTheFirstWrite)
{
    makeDrives(simDrive(2000), simDrive(2000));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    const std::vector<SimEvent> events = destinationEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front().kind, SimEventKind::LayoutDeletion);
    EXPECT_EQ(events.back().kind, SimEventKind::Flush);
}

TEST_F(SimCopyTest, ForwardRefusedLayoutDeletionSaysAccessDeniedAndKeepsTheHeaderOnly)
{
    SimDriveSetup destinationSetup = simDrive(2000);
    destinationSetup.faults.layoutDeletionFails = true;
    makeDrives(simDrive(2000), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Access denied.");
    EXPECT_EQ(observer.messages()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(sourceReads().empty());
    EXPECT_TRUE(destinationWrites().empty());
    EXPECT_EQ(afterTimeLine(logText()),
              "Source Disk --------> Destination Disk\r\nStart Sector  :  0\r\nEnd Sector :  1999\r\n");
    EXPECT_EQ(source.handle, nullptr);
    EXPECT_EQ(destination.handle, nullptr);
    EXPECT_EQ(job.state, JobState::Running);
}

SimDriveSetup driveWithVolume(bool dismountFails, bool lockFails)
{
    SimDriveSetup setup = simDrive(3000);
    setup.volumes = {{"sim1", 1000, 2000, true}};
    setup.faults.dismountFails = dismountFails;
    setup.faults.lockFails = lockFails;
    return setup;
}

TEST_F(SimCopyTest, ForwardCloneOntoAVolumeDismountsItFirst)
{
    makeDrives(simDrive(2000), driveWithVolume(false, false));
    ASSERT_TRUE(openDevice(destination, sims.platform().devices(), "sim1", OpenMode::ReadWrite));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_FALSE(destinationDrive().isVolumeMounted(0));
    EXPECT_EQ(destinationWrites(), (Transfers{{1000, 2000}}));
}

TEST_F(SimCopyTest, ForwardCloneOntoAVolumeThatCannotBeDismountedLocksIt)
{
    makeDrives(simDrive(2000), driveWithVolume(true, false));
    ASSERT_TRUE(openDevice(destination, sims.platform().devices(), "sim1", OpenMode::ReadWrite));

    EXPECT_EQ(runForward(), CopyOutcome::Completed);
    EXPECT_TRUE(observer.messages().empty());
}

TEST_F(SimCopyTest, ForwardCloneOntoAVolumeNeitherDismountedNorLockedSaysAccessDenied)
{
    makeDrives(simDrive(2000), driveWithVolume(true, true));
    ASSERT_TRUE(openDevice(destination, sims.platform().devices(), "sim1", OpenMode::ReadWrite));

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Access denied.");
    EXPECT_TRUE(destinationWrites().empty());
    EXPECT_EQ(occurrences(logText(), "Operation"), 0u);
}

TEST_F(SimCopyTest, ForwardRefusedBlockWriteStopsAtOnceAndFailsTheOperation)
{
    SimDriveSetup destinationSetup = simDrive(131077);
    destinationSetup.faults.failingWrites = {{70000, 1}};
    makeDrives(simDrive(131077), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_EQ(sourceReads(), (Transfers{{0, 65536}, {65536, 65536}}));
    EXPECT_EQ(source.sectorsCopied, 65536u);
    EXPECT_EQ(source.handle, nullptr);
    EXPECT_EQ(destination.handle, nullptr);
    EXPECT_EQ(observer.count(RecordingObserver::EventKind::KillTimer), 0u);
    EXPECT_EQ(afterTimeLine(logText()),
              "Source Disk --------> Destination Disk\r\n"
              "Start Sector  :  0\r\n"
              "End Sector :  131076\r\n"
              "Write error encountered. Sector No.\t:\t65536\r\n"
              "Operation failed.\r\n"
              "65536 Sector(s) copied.\r\n"
              "0 Bad Sector(s) encountered.\r\n");
}

TEST_F(SimCopyTest, ForwardRefusedWriteInTheSectorPassNamesTheDestinationSector)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{3, 1}};
    SimDriveSetup destinationSetup = simDrive(200);
    destinationSetup.faults.failingWrites = {{57, 1}};
    makeDrives(setup, destinationSetup);
    destination.startSector = 50;
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    // Sectors 0 to 6 but the bad sector 3 were copied; 7 landed on sector 57.
    EXPECT_EQ(source.sectorsCopied, 6u);
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t3\r\n"
                             "Write error encountered. Sector No.\t:\t57\r\n"
                             "Operation failed.\r\n6 Sector(s) copied.\r\n1 Bad Sector(s) encountered.\r\n"),
              std::string::npos);
    EXPECT_EQ(sourceReads().back(), (std::pair<std::uint64_t, std::uint64_t>{7, 1}));
}

TEST_F(SimCopyTest, ForwardRefusedMarkerWriteFailsTheOperation)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{3, 1}};
    SimDriveSetup destinationSetup = simDrive(100);
    destinationSetup.faults.failingWrites = {{3, 1}};
    makeDrives(setup, destinationSetup);
    source.retryCount = 1;

    EXPECT_EQ(runForward(), CopyOutcome::Failed);
    EXPECT_NE(logText().find("Write error encountered. Sector No.\t:\t3\r\nOperation failed.\r\n"), std::string::npos);
}

TEST_F(SimCopyTest, ForwardRefusedFlushFailsTheOperation)
{
    SimDriveSetup destinationSetup = simDrive(100);
    destinationSetup.faults.flushFails = true;
    makeDrives(simDrive(100), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_EQ(occurrences(logText(), "successfully"), 0u);
    EXPECT_NE(logText().find("Write error encountered while flushing the destination.\r\n"
                             "Operation failed.\r\n100 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n"),
              std::string::npos);
}

TEST_F(SimCopyTest, ForwardCopiesLargeSectorsIn32MiBBlocksAndCountsSourceSectors)
{
    SimDriveSetup setup = simDrive(2 * 8192 + 5, 4096);
    setup.badSectors = {{100, 1}};
    makeDrives(setup, simDrive(2 * 8192 + 5, 4096));
    source.retryCount = 1;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(sourceReads().front(), (std::pair<std::uint64_t, std::uint64_t>{0, 8192}));
    EXPECT_EQ(destinationWrites().back(), (std::pair<std::uint64_t, std::uint64_t>{16384, 5}));
    EXPECT_TRUE(holdsSource(0, 0, 2 * 8192 + 5, {100}));
    EXPECT_EQ(destinationBytes(100, 1), fullMarkerSector(4096));
    EXPECT_EQ(source.sectorsCopied, 2u * 8192 + 4);
    EXPECT_EQ(job.positionBytes, job.endBytes);
    EXPECT_EQ(observer.distinctPositions(), (Positions{0, 8192u * 4096, 16384u * 4096, 16389u * 4096}));
}

TEST_F(SimCopyTest, ForwardCompletedLogListsBadSectorsThenTheSummary)
{
    SimDriveSetup setup = simDrive(1000);
    setup.badSectors = {{7, 1}, {9, 1}};
    makeDrives(setup, simDrive(1000));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    EXPECT_EQ(afterTimeLine(logText()),
              "Source Disk --------> Destination Disk\r\n"
              "Start Sector  :  0\r\n"
              "End Sector :  999\r\n"
              "Bad Sector encountered. Sector No.\t:\t7\r\n"
              "Bad Sector encountered. Sector No.\t:\t9\r\n"
              "Operation successfully completed.\r\n"
              "998 Sector(s) copied.\r\n"
              "2 Bad Sector(s) encountered.\r\n");
}

} // namespace
} // namespace orvel::test
