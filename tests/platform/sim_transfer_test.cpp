#include "support/sim_platform_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace orvel {
namespace {

using test::filledBuffer;
using test::simDrive;

class SimTransferTest : public ::testing::Test {
protected:
    test::SimPlatformFixture fixture;
};

TEST_F(SimTransferTest, TransfersThatBreakDirectIoRulesFailWithEinval)
{
    SimPlatform& platform = fixture.make({simDrive(64)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    ASSERT_NE(drive, nullptr);
    AlignedBuffer buffer(2048);

    EXPECT_TRUE(drive->readAt(512, buffer.data(), 1024).ok);
    const IoResult misplaced = drive->readAt(100, buffer.data(), 512);
    EXPECT_FALSE(misplaced.ok);
    EXPECT_EQ(misplaced.error, static_cast<std::uint32_t>(EINVAL));
    EXPECT_EQ(drive->readAt(0, buffer.data(), 256).error, static_cast<std::uint32_t>(EINVAL)) << "partial sector";
    EXPECT_EQ(drive->readAt(0, buffer.data(), 700).error, static_cast<std::uint32_t>(EINVAL)) << "sector and a bit";
    EXPECT_EQ(drive->readAt(0, buffer.data() + 8, 512).error, static_cast<std::uint32_t>(EINVAL)) << "unaligned buffer";
    EXPECT_EQ(drive->writeAt(0, buffer.data() + 8, 512).error, static_cast<std::uint32_t>(EINVAL));
    EXPECT_EQ(drive->writeAt(3, buffer.data(), 512).error, static_cast<std::uint32_t>(EINVAL));
    EXPECT_EQ(platform.simulatedDrive(0).transferCount(), 1u) << "refused transfers never reach the drive";
}

TEST_F(SimTransferTest, TransfersAtOrPastTheEndFailInsteadOfComingUpShort)
{
    SimPlatform& platform = fixture.make({simDrive(64)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    AlignedBuffer buffer(1024);

    EXPECT_TRUE(drive->readAt(63 * 512, buffer.data(), 512).ok);
    EXPECT_FALSE(drive->readAt(63 * 512, buffer.data(), 1024).ok) << "straddles the end";
    EXPECT_FALSE(drive->readAt(64 * 512, buffer.data(), 512).ok) << "starts at the end";
    EXPECT_FALSE(drive->readAt(~0ull - 511, buffer.data(), 512).ok) << "offset + length overflows";
    EXPECT_EQ(drive->writeAt(63 * 512, buffer.data(), 1024).error, static_cast<std::uint32_t>(ENOSPC));
}

TEST_F(SimTransferTest, ProbeOfFourKilobyteDriveFindsItsSectorSize)
{
    SimPlatform& platform = fixture.make({simDrive(64, 4096)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer buffer(8192);

    std::uint32_t firstSuccess = 0;
    for (std::uint32_t bytes = 512; bytes <= 8192 && firstSuccess == 0; bytes += 512) {
        if (drive->readAt(0, buffer.data(), bytes).ok)
            firstSuccess = bytes;
    }
    EXPECT_EQ(firstSuccess, 4096u);
    EXPECT_FALSE(drive->readAt(512, buffer.data(), 4096).ok) << "offset inside a sector";
    std::uint64_t length = 0;
    ASSERT_TRUE(drive->queryLength(length));
    EXPECT_EQ(length, 64u * 4096);
}

TEST_F(SimTransferTest, BadSectorFailsEveryReadThatTouchesIt)
{
    SimDriveSetup setup = simDrive(64);
    setup.badSectors = {{5, 1}, {40, 3}};
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer buffer(16 * 512);

    const IoResult block = drive->readAt(0, buffer.data(), 16 * 512);
    EXPECT_FALSE(block.ok);
    EXPECT_EQ(block.error, static_cast<std::uint32_t>(EIO));
    EXPECT_TRUE(drive->readAt(4 * 512, buffer.data(), 512).ok);
    EXPECT_FALSE(drive->readAt(5 * 512, buffer.data(), 512).ok);
    EXPECT_FALSE(drive->readAt(5 * 512, buffer.data(), 512).ok) << "unreadable on every read";
    EXPECT_TRUE(drive->readAt(6 * 512, buffer.data(), 512).ok);
    EXPECT_FALSE(drive->readAt(42 * 512, buffer.data(), 512).ok) << "last sector of the range 40-42";
    EXPECT_TRUE(drive->readAt(43 * 512, buffer.data(), 512).ok);

    SimDrive& simulated = platform.simulatedDrive(0);
    EXPECT_EQ(simulated.readCount(5), 3u);
    EXPECT_EQ(simulated.readCount(4), 2u);
    EXPECT_EQ(simulated.readCount(20), 0u);
}

TEST_F(SimTransferTest, FlakySectorReadsAfterItsFailures)
{
    SimDriveSetup setup = simDrive(64);
    setup.faults.flakySectors = {{7, 2}};
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer buffer(8 * 512);

    EXPECT_FALSE(drive->readAt(0, buffer.data(), 8 * 512).ok) << "first read, as part of a block";
    EXPECT_FALSE(drive->readAt(7 * 512, buffer.data(), 512).ok);
    EXPECT_TRUE(drive->readAt(7 * 512, buffer.data(), 512).ok);
    EXPECT_TRUE(drive->readAt(0, buffer.data(), 8 * 512).ok);
}

TEST_F(SimTransferTest, WrittenDataReadsBackAndIsKeptInTheCache)
{
    auto data = filledBuffer(1024, 0x5A);
    {
        SimPlatform& platform = fixture.make({simDrive(64)});
        auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
        ASSERT_TRUE(drive->writeAt(10 * 512, data.data(), 1024).ok);
        ASSERT_TRUE(drive->flush().ok);
    }
    SimPlatform& again = fixture.make({simDrive(64)});
    auto drive = again.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer back(1536);
    ASSERT_TRUE(drive->readAt(9 * 512, back.data(), 1536).ok);
    EXPECT_EQ(back.data()[511], 0) << "sector 9 was never written";
    EXPECT_EQ(std::memcmp(back.data() + 512, data.data(), 1024), 0);
}

TEST_F(SimTransferTest, ReadOnlyHandleRefusesWrites)
{
    SimPlatform& platform = fixture.make({simDrive(64)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer buffer(512);
    EXPECT_EQ(drive->writeAt(0, buffer.data(), 512).error, static_cast<std::uint32_t>(EBADF));
    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Refused);
}

TEST_F(SimTransferTest, VolumeIsAWindowOntoItsDriveSectors)
{
    SimDriveSetup setup = simDrive(256, 4096);
    setup.volumes = {{"sim1p1", 8, 100, false}, {"sim1p2", 108, 148, false}};
    setup.badSectors = {{110, 1}};
    SimPlatform& platform = fixture.make({simDrive(64), setup});
    auto volume = platform.devices().openVolume("sim1p2", OpenMode::ReadWrite);
    ASSERT_NE(volume, nullptr);

    std::uint64_t length = 0;
    ASSERT_TRUE(volume->queryLength(length));
    EXPECT_EQ(length, 148u * 4096);
    auto data = filledBuffer(4096, 0xC3);
    ASSERT_TRUE(volume->writeAt(4096, data.data(), 4096).ok);
    EXPECT_FALSE(volume->readAt(2 * 4096, data.data(), 4096).ok) << "drive sector 110 is volume sector 2";
    EXPECT_FALSE(volume->writeAt(148 * 4096, data.data(), 4096).ok) << "past the volume's end";

    auto drive = platform.devices().openPhysicalDrive("1", OpenMode::ReadOnly);
    AlignedBuffer back(4096);
    ASSERT_TRUE(drive->readAt(109 * 4096, back.data(), 4096).ok);
    EXPECT_EQ(back.data()[0], 0xC3);
    EXPECT_EQ(back.data()[4095], 0xC3);
    EXPECT_EQ(platform.simulatedDrive(1).readCount(110), 1u) << "volume reads count as the drive's";
}

TEST_F(SimTransferTest, DriveOfMoreThanTwoTebibytesAddressesItsHighSectors)
{
    constexpr std::uint64_t kSectors = 6ull << 30;  // 3 TiB of 512-byte sectors
    constexpr std::uint64_t kHigh = (1ull << 32) + 6;
    SimDriveSetup setup = simDrive(kSectors);
    setup.badSectors = {{kHigh + 1, 1}};
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    if (drive == nullptr)
        GTEST_SKIP() << "the temp folder's file system holds no sparse 3 TiB file";

    std::uint64_t length = 0;
    ASSERT_TRUE(drive->queryLength(length));
    EXPECT_EQ(length, kSectors * 512);
    auto data = filledBuffer(512, 0x77);
    ASSERT_TRUE(drive->writeAt(kHigh * 512, data.data(), 512).ok);
    ASSERT_TRUE(drive->writeAt((kSectors - 1) * 512, data.data(), 512).ok);
    AlignedBuffer back(512);
    ASSERT_TRUE(drive->readAt(kHigh * 512, back.data(), 512).ok);
    EXPECT_EQ(back.data()[0], 0x77);
    EXPECT_FALSE(drive->readAt((kHigh + 1) * 512, back.data(), 512).ok);
    ASSERT_TRUE(drive->readAt((kHigh & 0xFFFFFFFFu) * 512, back.data(), 512).ok);
    EXPECT_EQ(back.data()[0], 0) << "sector 6 must not alias sector 2^32 + 6";
    EXPECT_EQ(platform.simulatedDrive(0).readCount(kHigh + 1), 1u);
}

} // namespace
} // namespace orvel
