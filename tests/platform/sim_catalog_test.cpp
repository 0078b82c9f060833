#include "support/sim_platform_fixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

namespace orvel {
namespace {

using test::filledBuffer;
using test::simDrive;

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kReadThresholds{0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

class SimCatalogTest : public ::testing::Test {
protected:
    test::SimPlatformFixture fixture;
};

TEST_F(SimCatalogTest, DrivesOpenOnlyByTheirExactNumberAndVolumesByTheirExactName)
{
    SimDriveSetup withVolume = simDrive(64);
    withVolume.volumes = {{"sim1p1", 0, 32, false}};
    SimPlatform& platform = fixture.make({simDrive(64), withVolume});
    DeviceAccess& devices = platform.devices();

    EXPECT_NE(devices.openPhysicalDrive("0", OpenMode::ReadOnly), nullptr);
    EXPECT_NE(devices.openPhysicalDrive("1", OpenMode::ReadOnly), nullptr);
    for (const char* name : {"2", "01", "", "-1", "+1", "1 ", "0x1", "sim1p1", "99999999999999999999999"})
        EXPECT_EQ(devices.openPhysicalDrive(name, OpenMode::ReadOnly), nullptr) << '"' << name << '"';
    EXPECT_NE(devices.openVolume("sim1p1", OpenMode::ReadOnly), nullptr);
    for (const char* name : {"SIM1P1", "sim1p", "sim1p1 ", "1", ""})
        EXPECT_EQ(devices.openVolume(name, OpenMode::ReadOnly), nullptr) << '"' << name << '"';
}

TEST_F(SimCatalogTest, CatalogDescribesDrivesAndVolumes)
{
    SimDriveSetup disk = simDrive(2048, 4096);
    disk.model = "Simulated Disk 4K";
    disk.serial = "SN-42";
    disk.interfaceType = "SCSI";
    disk.volumes = {{"sim0p1", 6, 1000, false}, {"sim0p2", 1006, 1000, false}};
    SimDriveSetup stick = simDrive(4096);
    stick.interfaceType = "USB";
    stick.mediaType = "Removable Media";
    SimPlatform& platform = fixture.make({disk, stick});

    std::vector<DiskDriveRow> drives;
    ASSERT_EQ(platform.drives().listDiskDrives(true, drives), CatalogStatus::Ok);
    ASSERT_EQ(drives.size(), 2u);
    EXPECT_EQ(drives[0].caption, "Simulated Disk 4K");
    EXPECT_EQ(drives[0].model, "Simulated Disk 4K");
    EXPECT_EQ(drives[0].size, "8388608");
    EXPECT_EQ(drives[0].index, 0u);
    EXPECT_EQ(drives[0].interfaceType, "SCSI");
    EXPECT_EQ(drives[0].mediaType, "Fixed hard disk media");
    EXPECT_EQ(drives[0].status, "OK");
    EXPECT_EQ(drives[0].serialNumber, "SN-42");
    EXPECT_NE(drives[0].name, drives[1].name);
    EXPECT_EQ(drives[1].serialNumber, std::nullopt) << "no serial: the property is absent";
    EXPECT_EQ(drives[1].mediaType, "Removable Media");

    drives.clear();
    ASSERT_EQ(platform.drives().listDiskDrives(false, drives), CatalogStatus::Ok);
    EXPECT_EQ(drives[0].serialNumber, std::nullopt) << "serials only when asked";

    std::vector<LogicalDiskRow> volumes;
    ASSERT_EQ(platform.drives().listLogicalDisks(volumes), CatalogStatus::Ok);
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[1].caption, "sim0p2");
    EXPECT_EQ(volumes[1].name, "sim0p2");
    EXPECT_EQ(volumes[1].size, "4096000");
}

TEST_F(SimCatalogTest, SmartDeviceAnswersWithTheStoredBlocksOnly)
{
    SimDriveSetup withSmart = simDrive(64);
    withSmart.smartData.emplace();
    withSmart.smartThresholds.emplace();
    for (std::size_t i = 0; i < 512; ++i) {
        (*withSmart.smartData)[i] = static_cast<std::uint8_t>(i);
        (*withSmart.smartThresholds)[i] = static_cast<std::uint8_t>(255 - i % 256);
    }
    SimPlatform& platform = fixture.make({withSmart, simDrive(64)});

    auto device = platform.smart().openSmartDevice(0);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->supportsSmartCommands());
    EXPECT_TRUE(device->sendCommand(kEnable));
    SmartBlock block{};
    ASSERT_TRUE(device->receiveData(kReadData, block));
    EXPECT_EQ(block, *withSmart.smartData);
    ASSERT_TRUE(device->receiveData(kReadThresholds, block));
    EXPECT_EQ(block, *withSmart.smartThresholds);
    AtaRegisters wrongSignature = kReadData;
    wrongSignature.cylinderHigh = 0;
    EXPECT_FALSE(device->receiveData(wrongSignature, block));
    EXPECT_FALSE(device->receiveData(kEnable, block)) << "enable returns no data";

    auto plain = platform.smart().openSmartDevice(1);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->supportsSmartCommands());
    EXPECT_FALSE(plain->sendCommand(kEnable));
    EXPECT_FALSE(plain->receiveData(kReadData, block));
    EXPECT_EQ(platform.smart().openSmartDevice(2), nullptr);
}

TEST_F(SimCatalogTest, ImageFileIsARealFileEmptiedOnCreation)
{
    SimPlatform& platform = fixture.make({});
    const std::string path = fixture.folder().file("out.img");
    {
        std::ofstream old(path, std::ios::binary);
        old << std::string(10000, 'x');
    }
    auto image = platform.devices().createImageFile(path);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    auto data = filledBuffer(1024, 0x42);
    EXPECT_EQ(image->writeAt(100, data.data(), 512).error, static_cast<std::uint32_t>(EINVAL));
    EXPECT_EQ(image->writeAt(0, data.data() + 1, 512).error, static_cast<std::uint32_t>(EINVAL));
    ASSERT_TRUE(image->writeAt(1024, data.data(), 1024).ok);
    ASSERT_TRUE(image->flush().ok);
    std::uint64_t length = 0;
    ASSERT_TRUE(image->queryLength(length));
    EXPECT_EQ(length, 2048u);
    EXPECT_EQ(std::filesystem::file_size(path), 2048u);
    EXPECT_EQ(image->deleteDriveLayout(), LayoutDeletion::Refused);

    EXPECT_EQ(platform.devices().createImageFile(fixture.folder().file("missing/out.img")), nullptr);
    EXPECT_TRUE(platform.devices().freeSpace(path).has_value());
    EXPECT_FALSE(platform.devices().freeSpace(fixture.folder().file("missing/out.img")).has_value());
}

} // namespace
} // namespace orvel
