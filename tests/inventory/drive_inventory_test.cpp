#include "inventory/drive_inventory.h"

#include "inventory_fakes.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::attributeBlock;
using test::diskRow;
using test::thresholdBlock;

// Every test starts and ends with an empty inventory.
class DriveInventory : public testing::Test {
protected:
    DriveInventory() { ClearInventory(); }
    ~DriveInventory() override { ClearInventory(); }

    test::FakePlatform platform;
};

TEST_F(DriveInventory, ANewRecordStartsEmptyAndPhysical)
{
    const DriveInfo record;
    EXPECT_TRUE(record.caption.empty() && record.deviceName.empty() && record.mediaType.empty() &&
                record.serialNumber.empty() && record.model.empty() && record.status.empty() &&
                record.interfaceType.empty());
    EXPECT_EQ(record.sizeBytes, 0u);
    EXPECT_EQ(record.diskIndex, 0u);
    EXPECT_EQ(record.temperatureC, 0u);
    EXPECT_TRUE(record.isPhysical);
    for (const SmartAttributeSlot& slot : record.smartAttributes)
        ASSERT_EQ(slot.attributeId, 0);
}

TEST_F(DriveInventory, PhysicalDrivesCarryEveryPropertyInOrder)
{
    DiskDriveRow row = diskRow(300, "ABC XY1000QZ-00RS");
    row.caption = "ABC XY1000QZ-00RS ATA Device";
    row.mediaType = "External hard disk media";
    row.status = "Error";
    platform.catalog.diskDrives = {row, diskRow(4, "Second")};
    EnumeratePhysicalDrives(platform, false);

    ASSERT_EQ(physicalDrives.size(), 2u);
    const DriveInfo& drive = *physicalDrives[0];
    EXPECT_EQ(drive.caption, "ABC XY1000QZ-00RS ATA Device");
    EXPECT_EQ(drive.deviceName, "/dev/disk/by-diskseq/300");
    EXPECT_EQ(drive.sizeBytes, 500107862016u);
    EXPECT_EQ(drive.diskIndex, 300u) << "the drive number is kept whole, not cut to 8 bits";
    EXPECT_EQ(drive.model, "ABC XY1000QZ-00RS");
    EXPECT_EQ(drive.mediaType, "External hard disk media");
    EXPECT_EQ(drive.interfaceType, "IDE");
    EXPECT_EQ(drive.status, "Error");
    EXPECT_TRUE(drive.isPhysical);
    EXPECT_EQ(physicalDrives[1]->model, "Second");
}

TEST_F(DriveInventory, WithoutSerialAndSmartNeitherIsRead)
{
    platform.catalog.diskDrives = {diskRow(1, "Disk")};
    platform.transport.drives[1] = {true, true, attributeBlock({{194, 100, 100, {30}}}), std::nullopt};
    EnumeratePhysicalDrives(platform, false);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_EQ(platform.catalog.serialRequests, std::vector<bool>{false});
    EXPECT_EQ(physicalDrives[0]->serialNumber, "");
    EXPECT_TRUE(platform.transport.openedNumbers.empty());
    EXPECT_EQ(physicalDrives[0]->temperatureC, 0u);
}

TEST_F(DriveInventory, WithSerialAndSmartEachDriveIsReadByItsFullNumber)
{
    platform.catalog.diskDrives = {diskRow(1, "First"), diskRow(257, "Second")};
    platform.transport.drives[1] = {true, true, attributeBlock({{194, 100, 100, {30}}}), thresholdBlock({194}, {0})};
    platform.transport.drives[257] = {true, true, attributeBlock({{190, 100, 100, {41}}}), thresholdBlock({190}, {45})};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 2u);
    EXPECT_EQ(platform.transport.openedNumbers, (std::vector<std::uint64_t>{1, 257}));
    EXPECT_EQ(physicalDrives[0]->serialNumber, "SN1");
    EXPECT_EQ(physicalDrives[0]->temperatureC, 30u);
    EXPECT_EQ(physicalDrives[1]->temperatureC, 41u);
    EXPECT_EQ(physicalDrives[1]->smartAttributes[0].threshold, 45);
}

TEST_F(DriveInventory, UsbDrivesAreNeverAskedForSmartButLowerCaseUsbIs)
{
    platform.catalog.diskDrives = {diskRow(1, "Stick", "USB"), diskRow(2, "Other", "usb")};
    platform.transport.drives[1] = {true, true, attributeBlock({{194, 100, 100, {30}}}), std::nullopt};
    platform.transport.drives[2] = {true, true, attributeBlock({{194, 100, 100, {31}}}), std::nullopt};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 2u);
    EXPECT_EQ(platform.transport.openedNumbers, std::vector<std::uint64_t>{2});
    EXPECT_EQ(physicalDrives[0]->temperatureC, 0u);
    EXPECT_EQ(physicalDrives[0]->smartAttributes[0].attributeId, 0);
    EXPECT_EQ(physicalDrives[0]->serialNumber, "SN1") << "USB drives still get their serial";
    EXPECT_EQ(physicalDrives[1]->temperatureC, 31u);
}

TEST_F(DriveInventory, ADriveThatDoesNotAnswerIsListedWithoutAttributes)
{
    platform.catalog.diskDrives = {diskRow(1, "Silent")};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_EQ(physicalDrives[0]->smartAttributes[0].attributeId, 0);
    EXPECT_EQ(physicalDrives[0]->temperatureC, 0u);
}

TEST_F(DriveInventory, ADriveWithoutANumberIsNotAskedForSmart)
{
    DiskDriveRow row = diskRow(0, "No number");
    row.index.reset();
    platform.catalog.diskDrives = {row};
    platform.transport.drives[0] = {true, true, attributeBlock({{194, 100, 100, {30}}}), std::nullopt};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_TRUE(platform.transport.openedNumbers.empty()) << "drive 0 is another disk";
    EXPECT_EQ(physicalDrives[0]->temperatureC, 0u);
}

TEST_F(DriveInventory, AbsentPropertiesLeaveEmptyFieldsAndTheDriveListed)
{
    DiskDriveRow row;
    row.index = 5;
    platform.catalog.diskDrives = {row};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    const DriveInfo& drive = *physicalDrives[0];
    EXPECT_EQ(drive.sizeBytes, 0u);
    EXPECT_TRUE(drive.caption.empty() && drive.model.empty() && drive.serialNumber.empty() && drive.status.empty());
    EXPECT_EQ(platform.catalog.versionRequests, 0) << "the version is only needed for a serial";
}

TEST_F(DriveInventory, SerialRulesUseTheSystemVersion)
{
    DiskDriveRow row = diskRow(1, "Old");
    row.serialNumber = "2020202044575750";
    platform.catalog.diskDrives = {row};
    platform.catalog.version = OsVersion{6, 1};
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_EQ(physicalDrives[0]->serialNumber, "WDPW");
}

TEST_F(DriveInventory, AnUnreadableVersionEndsTheEnumerationAtThatDrive)
{
    DiskDriveRow first = diskRow(1, "First");
    first.serialNumber.reset();
    platform.catalog.diskDrives = {first, diskRow(2, "Second"), diskRow(3, "Third")};
    platform.catalog.version.reset();
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_EQ(physicalDrives[0]->model, "First");
}

TEST_F(DriveInventory, FailingServiceAddsNothing)
{
    platform.catalog.diskDrives = {diskRow(1, "Disk")};
    platform.catalog.logicalDisks = {{"sda1", "sda1", "1048576", std::nullopt, std::nullopt, std::nullopt}};
    for (const CatalogStatus status : {CatalogStatus::ServiceFailed, CatalogStatus::SecurityFailed}) {
        platform.catalog.diskDriveStatus = status;
        EnumeratePhysicalDrives(platform, true);
        EXPECT_TRUE(physicalDrives.empty());
    }
    platform.catalog.logicalDiskStatus = CatalogStatus::ServiceFailed;
    EXPECT_EQ(EnumerateVolumes(platform), std::nullopt) << "a service failure is quiet";
    EXPECT_TRUE(volumes.empty());
}

TEST_F(DriveInventory, VolumeSecurityFailureAsksForTheMessage)
{
    platform.catalog.logicalDisks = {{"sda1", "sda1", "1048576", std::nullopt, std::nullopt, std::nullopt}};
    platform.catalog.logicalDiskStatus = CatalogStatus::SecurityFailed;
    const std::optional<InventoryNotice> notice = EnumerateVolumes(platform);

    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->text, "Could not set proxy blanket. Error code ");
    EXPECT_EQ(notice->caption, "Orvel Photo Recovery");
    EXPECT_TRUE(volumes.empty());
}

TEST_F(DriveInventory, VolumesSkipOpticalDrivesAndThoseWithoutSize)
{
    platform.catalog.logicalDisks = {
        {"C:", "C:", "250056704000", 3, std::nullopt, std::nullopt},
        {"D:", "D:", "700000000", std::nullopt, std::nullopt, std::nullopt},
        {"E:", "E:", "0", std::nullopt, std::nullopt, std::nullopt},
        {"F:", "F:", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"G:", "G:", "  +4096 KB", std::nullopt, std::nullopt, std::nullopt},
    };
    platform.catalog.opticalCaptions = {"D:"};
    EXPECT_EQ(EnumerateVolumes(platform), std::nullopt);

    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0]->caption, "C:");
    EXPECT_EQ(volumes[0]->deviceName, "C:");
    EXPECT_EQ(volumes[0]->sizeBytes, 250056704000u);
    EXPECT_FALSE(volumes[0]->isPhysical);
    EXPECT_EQ(volumes[0]->holdingDrive, 3u) << "the drive that holds the volume is kept";
    EXPECT_EQ(volumes[1]->caption, "G:");
    EXPECT_EQ(volumes[1]->sizeBytes, 4096u);
    EXPECT_TRUE(volumes[1]->model.empty() && volumes[1]->status.empty() && volumes[1]->mediaType.empty());
}

TEST_F(DriveInventory, EnumeratingTwiceListsEverythingTwice)
{
    platform.catalog.diskDrives = {diskRow(1, "First"), diskRow(2, "Second")};
    platform.catalog.logicalDisks = {{"sda1", "sda1", "1048576", std::nullopt, std::nullopt, std::nullopt}};
    EnumeratePhysicalDrives(platform, false);
    EnumeratePhysicalDrives(platform, false);
    EnumerateVolumes(platform);
    EnumerateVolumes(platform);

    ASSERT_EQ(physicalDrives.size(), 4u);
    EXPECT_EQ(physicalDrives[2]->model, "First");
    EXPECT_EQ(volumes.size(), 2u);
}

TEST_F(DriveInventory, RecordsStayPutWhileTheListsGrowAndClearEmptiesBoth)
{
    platform.catalog.diskDrives = {diskRow(1, "First")};
    EnumeratePhysicalDrives(platform, false);
    const DriveInfo* first = physicalDrives[0].get();
    for (int i = 0; i < 50; ++i)
        EnumeratePhysicalDrives(platform, false);
    EXPECT_EQ(physicalDrives[0].get(), first);

    platform.catalog.logicalDisks = {{"sda1", "sda1", "1048576", std::nullopt, std::nullopt, std::nullopt}};
    EnumerateVolumes(platform);
    ClearInventory();
    EXPECT_TRUE(physicalDrives.empty());
    EXPECT_TRUE(volumes.empty());
}

} // namespace
} // namespace orvel
