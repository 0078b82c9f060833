#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace orvel::test {
namespace {

constexpr std::uint64_t kBlock = 65536;

// The source goes while its second block is read; the read ahead of the
// third fails and the loop stops there, with nothing marked bad.
TEST_F(SimCopyTest, SourceUnpluggedBetweenBlocksStopsAtTheBlockInWork)
{
    makeDrives(simDrive(4 * kBlock + 100), simDrive(4 * kBlock + 100));
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == kBlock * 512)
                                sourceDrive().disappear();
                        },
                        {},
                        {}});

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with(deviceLostEnding(2 * kBlock, 2 * kBlock, 0))) << logText();
    EXPECT_EQ(source.badSectors, 0u);
    EXPECT_TRUE(source.deviceLost);
    EXPECT_EQ(source.lastError, static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(destinationWrites(), (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, kBlock}, {kBlock, kBlock}}));
    EXPECT_TRUE(holdsSource(0, 0, 2 * kBlock));
    EXPECT_EQ(source.handle, nullptr);
    EXPECT_EQ(destination.handle, nullptr);
}

// Lost in the middle of a sector pass that was already working around a bad
// sector: the bad one stays counted, the sector in work is logged as lost,
// and no sector after it is read again or marked.
TEST_F(SimCopyTest, SourceLostDuringTheSectorPassEndsThePassAtOnce)
{
    SimDriveSetup sourceSetup = simDrive(1000);
    sourceSetup.badSectors = {{10, 1}};
    makeDrives(sourceSetup, simDrive(1000));
    source.retryCount = 2;
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t bytes) {
                            if (bytes == 512 && offset == 500 * 512)
                                sourceDrive().disappear();
                        },
                        {},
                        {}});

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with("Bad Sector encountered. Sector No.\t:\t10\r\n" + deviceLostEnding(501, 500, 1)))
        << logText();
    const std::vector<SimEvent> events = sourceDrive().events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().firstSector, 500u) << "the read that found the drive gone never reached it";
    const auto writes = destinationWrites();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), (std::pair<std::uint64_t, std::uint64_t>{500, 1}));
}

TEST_F(SimCopyTest, SourceLostInReverseStopsAtTheBlockInWork)
{
    makeDrives(simDrive(3 * kBlock + 7), simDrive(3 * kBlock + 7));
    // Reverse order: tail, block 2, block 1, block 0. The drive goes while
    // block 2 is read, so block 1 is where it stops.
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == 2 * kBlock * 512)
                                sourceDrive().disappear();
                        },
                        {},
                        {}});

    EXPECT_EQ(runReverse(), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with(deviceLostEnding(kBlock, kBlock + 7, 0))) << logText();
    EXPECT_TRUE(holdsSource(2 * kBlock, 2 * kBlock, kBlock + 7));
}

// The destination goes: its sector in work is logged as lost, not as a
// write error, and the loop reads no further.
TEST_F(SimCopyTest, DestinationUnpluggedStopsAtTheSectorInWork)
{
    makeDrives(simDrive(4 * kBlock), simDrive(4 * kBlock));
    hookHandle(destination, {{},
                             [this](std::uint64_t offset, std::uint32_t) {
                                 if (offset == kBlock * 512)
                                     destinationDrive().disappear();
                             },
                             {}});

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with(deviceLostEnding(2 * kBlock, 2 * kBlock, 0))) << logText();
    EXPECT_TRUE(destination.deviceLost);
    EXPECT_FALSE(source.deviceLost);
    EXPECT_EQ(logText().find("Write error"), std::string::npos);
}

TEST_F(SimCopyTest, ImageFileOnAGoneSourceEndsAsFailedWithTheLostSector)
{
    SimDriveSetup sourceSetup = simDrive(2 * kBlock + 1);
    makeImaging(sourceSetup);
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == 0)
                                sourceDrive().disappear();
                        },
                        {},
                        {}});

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with(deviceLostEnding(kBlock, kBlock, 0))) << logText();
}

} // namespace
} // namespace orvel::test
