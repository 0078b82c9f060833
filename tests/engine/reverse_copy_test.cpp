#include "engine/reverse_copy.h"

#include "marker_bytes.h"
#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

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

class ReverseSplitTest : public SimCopyTest, public ::testing::WithParamInterface<Split> {};

TEST_P(ReverseSplitTest, CopiesTailFirstThenBlocksFromTheTopDown)
{
    const Split& split = GetParam();
    makeDrives(simDrive(split.sectors), simDrive(split.sectors));

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(sourceReads(), split.reads);
    EXPECT_EQ(destinationWrites(), split.reads);
    Positions expectedBytes;
    for (const std::uint64_t sector : split.positions)
        expectedBytes.push_back(sector * 512);
    EXPECT_EQ(observer.distinctPositions(), expectedBytes);
    EXPECT_EQ(source.sectorsCopied, split.sectors);
    EXPECT_EQ(source.handle, nullptr);
    EXPECT_EQ(destination.handle, nullptr);
    EXPECT_TRUE(holdsSource(0, 0, split.sectors));
    EXPECT_NE(logText().find("Operation successfully completed.\r\n" + std::to_string(split.sectors) +
                             " Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, ReverseSplitTest,
    ::testing::Values(Split{65535, {{0, 65535}}, {65535}},
                      Split{65536, {{0, 65536}}, {65536}},
                      Split{65537, {{65536, 1}, {0, 65536}}, {1, 65537}},
                      Split{131072, {{65536, 65536}, {0, 65536}}, {65536, 131072}},
                      Split{200000,
                            {{196608, 3392}, {131072, 65536}, {65536, 65536}, {0, 65536}},
                            {3392, 68928, 134464, 200000}}),
    [](const ::testing::TestParamInfo<Split>& param) { return std::to_string(param.param.sectors) + "Sectors"; });

TEST_F(SimCopyTest, ReverseEmptyRangeCompletesWithNothingCopied)
{
    makeDrives(simDrive(1000), simDrive(1000));
    source.startSector = 1000;

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_TRUE(sourceReads().empty());
    EXPECT_EQ(job.positionBytes, 1000u * 512);
    EXPECT_NE(logText().find("Operation successfully completed.\r\n0 Sector(s) copied.\r\n"), std::string::npos);
}

TEST_F(SimCopyTest, ReverseSectorWhoseRetriesFailGetsTheSecondMarker)
{
    SimDriveSetup setup = simDrive(65537);
    setup.badSectors = {{70, 1}};
    makeDrives(setup, simDrive(65537));
    source.retryCount = 2;

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    // The block read, the read of its 128 KiB piece, its own read and two attempts.
    EXPECT_EQ(sourceDrive().readCount(70), 5u);
    EXPECT_EQ(source.badSectors, 1u);
    EXPECT_EQ(source.sectorsCopied, 65536u);
    EXPECT_EQ(destinationBytes(70, 1), retriedReverseMarkerSector(512));
    EXPECT_TRUE(holdsSource(0, 0, 65537, {70}));
}

TEST_F(SimCopyTest, ReverseSectorWithoutRetriesGetsTheFirstMarker)
{
    SimDriveSetup setup = simDrive(300);
    setup.badSectors = {{299, 1}};
    makeDrives(setup, simDrive(300));
    source.retryCount = 0;

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(sourceDrive().readCount(299), 2u);
    EXPECT_EQ(destinationBytes(299, 1), shortMarkerSector(512));
    EXPECT_TRUE(holdsSource(0, 0, 300, {299}));
}

TEST_F(SimCopyTest, ReverseFailedTailReadStillCopiesTheBlocksBelowIt)
{
    SimDriveSetup setup = simDrive(65540);
    setup.badSectors = {{65537, 1}};
    makeDrives(setup, simDrive(65540));
    source.retryCount = 1;

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(sourceReads().back(), (std::pair<std::uint64_t, std::uint64_t>{0, 65536}));
    EXPECT_TRUE(holdsSource(0, 0, 65540, {65537}));
    EXPECT_EQ(destinationBytes(65537, 1), retriedReverseMarkerSector(512));
    EXPECT_EQ(source.sectorsCopied, 65539u);
}

TEST_F(SimCopyTest, ReverseSectorThatReadsOnARetryKeepsItsData)
{
    SimDriveSetup setup = simDrive(300);
    setup.faults.flakySectors = {{10, 2}};
    makeDrives(setup, simDrive(300));
    source.retryCount = 4;

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(sourceDrive().readCount(10), 3u);
    EXPECT_TRUE(holdsSource(0, 0, 300));
    EXPECT_EQ(source.badSectors, 1u);
    EXPECT_EQ(source.sectorsCopied, 299u);
}

TEST_F(SimCopyTest, ReverseRangeLandsAtTheDestinationStart)
{
    SimDriveSetup setup = simDrive(70000);
    setup.badSectors = {{2000, 1}};
    makeDrives(setup, simDrive(75000));
    source.startSector = 1000;
    source.endSector = 1000 + 65536 + 100;
    destination.startSector = 5000;
    source.retryCount = 0;
    prepareJob();

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(destinationWrites().front(), (std::pair<std::uint64_t, std::uint64_t>{70536, 100}));
    EXPECT_TRUE(holdsSource(5000, 1000, 65636, {2000}));
    EXPECT_EQ(destinationBytes(6000, 1), shortMarkerSector(512));
    EXPECT_EQ(observer.distinctPositions().front(), 100u * 512);
}

TEST_F(SimCopyTest, ReverseRefusedBlockWriteFailsTheOperation)
{
    SimDriveSetup destinationSetup = simDrive(131077);
    destinationSetup.faults.failingWrites = {{100, 1}};
    makeDrives(simDrive(131077), destinationSetup);

    EXPECT_EQ(runReverse(), CopyOutcome::Failed);

    EXPECT_EQ(source.sectorsCopied, 65541u);
    EXPECT_NE(logText().find("Write error encountered. Sector No.\t:\t0\r\n"
                             "Operation failed.\r\n65541 Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n"),
              std::string::npos);
}

TEST_F(SimCopyTest, ReverseRefusedFlushFailsTheOperation)
{
    SimDriveSetup destinationSetup = simDrive(65537);
    destinationSetup.faults.flushFails = true;
    makeDrives(simDrive(65537), destinationSetup);

    EXPECT_EQ(runReverse(), CopyOutcome::Failed);

    EXPECT_EQ(observer.count(RecordingObserver::EventKind::KillTimer), 0u);
    EXPECT_EQ(destination.handle, nullptr);
    EXPECT_TRUE(afterTimeLine(logText()).ends_with("End Sector :  65536\r\n"
                                                   "Write error encountered while flushing the destination.\r\n"
                                                   "Operation failed.\r\n65537 Sector(s) copied.\r\n"
                                                   "0 Bad Sector(s) encountered.\r\n"))
        << logText();
}

TEST_F(SimCopyTest, ReverseRefusedLayoutDeletionSaysAccessDenied)
{
    SimDriveSetup destinationSetup = simDrive(100);
    destinationSetup.faults.layoutDeletionFails = true;
    makeDrives(simDrive(100), destinationSetup);

    EXPECT_EQ(runReverse(), CopyOutcome::Failed);

    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Access denied.");
    EXPECT_TRUE(sourceReads().empty());
    EXPECT_EQ(logText().find("Operation"), std::string::npos);
}

TEST_F(SimCopyTest, ReverseCopiesLargeSectorsIn32MiBBlocks)
{
    makeDrives(simDrive(8192 + 3, 4096), simDrive(8192 + 3, 4096));

    EXPECT_EQ(runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(sourceReads(), (Transfers{{8192, 3}, {0, 8192}}));
    EXPECT_TRUE(holdsSource(0, 0, 8192 + 3));
    EXPECT_EQ(observer.distinctPositions(), (Positions{3u * 4096, 8195u * 4096}));
    EXPECT_EQ(source.sectorsCopied, 8195u);
}

} // namespace
} // namespace orvel::test
