#include "support/sim_platform_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

namespace orvel {
namespace {

using test::filledBuffer;
using test::simDrive;

class SimPreparationTest : public ::testing::Test {
protected:
    // The drive's sectors of `sectorSize` bytes that read back as all zero.
    static std::vector<std::uint64_t> zeroSectors(DeviceHandle& drive, std::uint64_t sectors, std::uint32_t sectorSize)
    {
        std::vector<std::uint64_t> zeroed;
        AlignedBuffer buffer(sectorSize);
        for (std::uint64_t sector = 0; sector < sectors; ++sector) {
            EXPECT_TRUE(drive.readAt(sector * sectorSize, buffer.data(), sectorSize).ok);
            bool allZero = true;
            for (std::size_t i = 0; i < sectorSize; ++i)
                allZero = allZero && buffer.data()[i] == 0;
            if (allZero)
                zeroed.push_back(sector);
        }
        return zeroed;
    }

    static void fillDrive(DeviceHandle& drive, std::uint64_t sectors, std::uint32_t sectorSize)
    {
        auto data = filledBuffer(sectors * sectorSize, 0xAA);
        ASSERT_TRUE(drive.writeAt(0, data.data(), static_cast<std::uint32_t>(data.size())).ok);
    }

    static std::vector<std::uint64_t> range(std::uint64_t first, std::uint64_t end)
    {
        std::vector<std::uint64_t> sectors;
        for (std::uint64_t s = first; s < end; ++s)
            sectors.push_back(s);
        return sectors;
    }

    test::SimPlatformFixture fixture;
};

TEST_F(SimPreparationTest, LayoutDeletionZeroesBothPartitionTablesOf512ByteDrive)
{
    SimPlatform& platform = fixture.make({simDrive(100)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    fillDrive(*drive, 100, 512);

    ASSERT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Deleted);
    std::vector<std::uint64_t> expected = range(0, 34);
    for (std::uint64_t s : range(67, 100))
        expected.push_back(s);
    EXPECT_EQ(zeroSectors(*drive, 100, 512), expected);
}

TEST_F(SimPreparationTest, LayoutDeletionZeroesBothPartitionTablesOf4096ByteDrive)
{
    SimPlatform& platform = fixture.make({simDrive(20, 4096)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    fillDrive(*drive, 20, 4096);

    ASSERT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Deleted);
    std::vector<std::uint64_t> expected = range(0, 6);
    for (std::uint64_t s : range(15, 20))
        expected.push_back(s);
    EXPECT_EQ(zeroSectors(*drive, 20, 4096), expected);
}

TEST_F(SimPreparationTest, MountedVolumeBlocksLayoutDeletionUntilDismounted)
{
    SimDriveSetup setup = simDrive(200);
    setup.volumes = {{"sim0p1", 34, 100, true}};
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    auto volume = platform.devices().openVolume("sim0p1", OpenMode::ReadWrite);

    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Refused);
    EXPECT_FALSE(drive->dismountVolume()) << "a whole drive is not a volume";
    ASSERT_TRUE(volume->dismountVolume());
    EXPECT_FALSE(platform.simulatedDrive(0).isVolumeMounted(0));
    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Deleted);
    EXPECT_EQ(volume->deleteDriveLayout(), LayoutDeletion::Refused) << "a volume has no layout of its own";
    EXPECT_TRUE(volume->lockVolume());
}

TEST_F(SimPreparationTest, PreparationFaultsFailTheirStepOnly)
{
    SimDriveSetup setup = simDrive(200);
    setup.volumes = {{"sim0p1", 34, 100, true}};
    setup.faults.dismountFails = true;
    setup.faults.lockFails = true;
    setup.faults.layoutDeletionFails = true;
    setup.faults.flushFails = true;
    setup.faults.lengthQueryFails = true;
    setup.faults.failingWrites = {{50, 2}};
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    auto volume = platform.devices().openVolume("sim0p1", OpenMode::ReadWrite);

    EXPECT_FALSE(volume->dismountVolume());
    EXPECT_TRUE(platform.simulatedDrive(0).isVolumeMounted(0));
    EXPECT_FALSE(volume->lockVolume());
    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Refused);
    EXPECT_FALSE(drive->flush().ok);
    std::uint64_t length = 12345;
    EXPECT_FALSE(drive->queryLength(length));
    EXPECT_FALSE(volume->queryLength(length));
    EXPECT_EQ(length, 12345u);

    auto data = filledBuffer(4 * 512, 1);
    EXPECT_TRUE(drive->writeAt(46 * 512, data.data(), 4 * 512).ok);
    EXPECT_FALSE(drive->writeAt(48 * 512, data.data(), 4 * 512).ok);
    EXPECT_FALSE(volume->writeAt(17 * 512, data.data(), 512).ok) << "volume sector 17 is drive sector 51";
    EXPECT_TRUE(drive->readAt(50 * 512, data.data(), 512).ok) << "failing writes still read";
}

TEST_F(SimPreparationTest, DriveWhereNoReadSucceedsFailsEveryProbeSize)
{
    SimDriveSetup setup = simDrive(256);
    setup.faults.allReadsFail = true;
    SimPlatform& platform = fixture.make({setup});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    AlignedBuffer buffer(66048);
    for (std::uint32_t bytes = 512; bytes <= 66048; bytes += 512)
        ASSERT_FALSE(drive->readAt(0, buffer.data(), bytes).ok) << bytes;
}

TEST_F(SimPreparationTest, DriveDisappearsAfterItsTransferCount)
{
    SimDriveSetup setup = simDrive(64);
    setup.faults.disappearAfterTransfers = 3;
    setup.smartData = SmartBlock{};
    SimPlatform& platform = fixture.make({setup, simDrive(64)});
    auto drive = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    AlignedBuffer buffer(512);

    EXPECT_TRUE(drive->readAt(0, buffer.data(), 512).ok);
    EXPECT_TRUE(drive->writeAt(0, buffer.data(), 512).ok);
    EXPECT_TRUE(drive->readAt(0, buffer.data(), 512).ok);
    const IoResult gone = drive->readAt(0, buffer.data(), 512);
    EXPECT_FALSE(gone.ok);
    EXPECT_EQ(gone.error, static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(drive->writeAt(0, buffer.data(), 512).error, static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(platform.devices().openPhysicalDrive("0", OpenMode::ReadOnly), nullptr);
    EXPECT_EQ(platform.smart().openSmartDevice(0), nullptr);

    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(platform.drives().listDiskDrives(false, rows), CatalogStatus::Ok);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].index, 1u) << "the other drive keeps its number";
}

TEST_F(SimPreparationTest, DriveMadeToDisappearFromAnotherThreadFailsItsNextTransfer)
{
    SimDriveSetup setup = simDrive(64);
    setup.volumes = {{"sim0p1", 0, 64, false}};
    SimPlatform& platform = fixture.make({setup});
    auto volume = platform.devices().openVolume("sim0p1", OpenMode::ReadOnly);
    AlignedBuffer buffer(512);
    ASSERT_TRUE(volume->readAt(0, buffer.data(), 512).ok);

    std::thread([&] { platform.simulatedDrive(0).disappear(); }).join();
    EXPECT_EQ(volume->readAt(0, buffer.data(), 512).error, static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(volume->flush().error, static_cast<std::uint32_t>(ENODEV));
    EXPECT_EQ(platform.devices().openVolume("sim0p1", OpenMode::ReadOnly), nullptr);
}

} // namespace
} // namespace orvel
