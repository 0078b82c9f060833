#include "platform/linux/sysfs_disk_properties.h"
#include "platform/linux/sysfs_text.h"
#include "platform/linux/sysfs_vpd.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace orvel::sysfs {
namespace {

TEST(SysfsText, TrimsBlanksLineEndsAndNulPadding)
{
    EXPECT_EQ(trimAttribute("WDC WD5000AAKX-0\n"), "WDC WD5000AAKX-0");
    EXPECT_EQ(trimAttribute("ATA     \n"), "ATA");
    EXPECT_EQ(trimAttribute(std::string_view("  S3Z\0\0", 7)), "S3Z");
    EXPECT_EQ(trimAttribute(" \n"), "");
}

TEST(SysfsText, ParsesWholeUnsignedNumbersOnly)
{
    EXPECT_EQ(parseUnsigned("9\n"), 9u);
    EXPECT_EQ(parseUnsigned("18446744073709551615\n"), 18446744073709551615u);
    EXPECT_EQ(parseUnsigned("18446744073709551616"), std::nullopt);
    EXPECT_EQ(parseUnsigned("12a"), std::nullopt);
    EXPECT_EQ(parseUnsigned("-1"), std::nullopt);
    EXPECT_EQ(parseUnsigned("\n"), std::nullopt);
}

TEST(SysfsDiskKinds, TellRamZramLoopAndOpticalFromDisks)
{
    EXPECT_EQ(classifyDiskName("ram0"), DiskKind::Ram);
    EXPECT_EQ(classifyDiskName("zram12"), DiskKind::Zram);
    EXPECT_EQ(classifyDiskName("loop7"), DiskKind::Loop);
    EXPECT_EQ(classifyDiskName("sr0"), DiskKind::Optical);
    for (const char* disk : {"sda", "sdr", "vda", "nvme0n1", "mmcblk0", "loop", "ramdisk", "srx1", "dm-0"})
        EXPECT_EQ(classifyDiskName(disk), DiskKind::Disk) << disk;
}

TEST(SysfsDiskProperties, InterfaceTypeFollowsTheBusOfTheDevicePath)
{
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/"
                                    "6:0:0:0/block/sdb"),
              "USB");
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda"),
              "IDE");
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1"), "SCSI");
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/pci0000:00/0000:00:02.0/virtio1/block/vda"), "SCSI");
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/virtual/block/loop3"), "SCSI");
    // A USB-attached SATA bridge is USB, whatever sits behind it.
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/pci0000:00/usb3/3-2/ata9/host9/block/sdc"), "USB");
    // Names that merely start like a bus are not one.
    EXPECT_EQ(interfaceTypeFromPath("/sys/devices/platform/usbhost/atapi/block/sdd"), "SCSI");
}

TEST(SysfsDiskProperties, MediaTypeAndStatus)
{
    EXPECT_EQ(mediaTypeFor(true, "USB"), "Removable Media");
    EXPECT_EQ(mediaTypeFor(true, "IDE"), "Removable Media");
    EXPECT_EQ(mediaTypeFor(false, "USB"), "External hard disk media");
    EXPECT_EQ(mediaTypeFor(false, "SCSI"), "Fixed hard disk media");

    EXPECT_EQ(statusFromDeviceState(std::nullopt), "OK");
    EXPECT_EQ(statusFromDeviceState("running\n"), "OK");
    EXPECT_EQ(statusFromDeviceState("live\n"), "OK");
    EXPECT_EQ(statusFromDeviceState("offline\n"), "Error");
    EXPECT_EQ(statusFromDeviceState("blocked\n"), "Error");
}

TEST(SysfsDiskProperties, ModelTextPrefersTheFullAtaModel)
{
    DiskIdentity sata{"sda", "ATA     \n", "WDC WD5000AAKX-0\n", "WDC WD5000AAKX-00ERMA0", std::nullopt, false};
    EXPECT_EQ(modelText(sata), "WDC WD5000AAKX-00ERMA0");
    sata.ataModel.reset();
    EXPECT_EQ(modelText(sata), "WDC WD5000AAKX-0") << "libata's vendor ATA is no maker";

    const DiskIdentity usb{"sdb", "SanDisk \n", "Cruzer Blade    \n", std::nullopt, std::nullopt, false};
    EXPECT_EQ(modelText(usb), "SanDisk Cruzer Blade");
    const DiskIdentity nvme{"nvme0n1", std::nullopt, "Samsung SSD 970 EVO 1TB                 \n", std::nullopt,
                            std::nullopt, false};
    EXPECT_EQ(modelText(nvme), "Samsung SSD 970 EVO 1TB");
}

TEST(SysfsDiskProperties, DisksWithoutAModelStillGetADistinctText)
{
    EXPECT_EQ(modelText({"vda", "0x1af4\n", std::nullopt, std::nullopt, std::nullopt, true}), "Virtual disk vda");
    EXPECT_EQ(modelText({"loop3", std::nullopt, std::nullopt, std::nullopt, "/var/tmp/images/disk.img\n", false}),
              "Loop device disk.img");
    EXPECT_EQ(modelText({"nbd0", std::nullopt, "  \n", std::nullopt, std::nullopt, false}), "Disk nbd0");
}

std::vector<std::uint8_t> page(std::uint8_t code, std::string_view payload, std::size_t declaredLength)
{
    std::vector<std::uint8_t> bytes(4 + payload.size());
    bytes[1] = code;
    bytes[2] = static_cast<std::uint8_t>(declaredLength >> 8);
    bytes[3] = static_cast<std::uint8_t>(declaredLength & 0xFF);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 4);
    return bytes;
}

TEST(VitalProductData, UnitSerialPageGivesTheTrimmedSerial)
{
    EXPECT_EQ(parseUnitSerialPage(page(0x80, "     WD-WCAYUJ123456", 20)), "WD-WCAYUJ123456");
    EXPECT_EQ(parseUnitSerialPage(page(0x80, "S3Z9NB0K123456A trailing", 15)), "S3Z9NB0K123456A")
        << "bytes past the page length are not part of the serial";
    EXPECT_EQ(parseUnitSerialPage(page(0x80, "SHORT", 40)), "SHORT") << "a page cut short keeps what it has";
    EXPECT_EQ(parseUnitSerialPage(page(0x80, "        ", 8)), std::nullopt);
    EXPECT_EQ(parseUnitSerialPage(page(0x83, "NOTASERIAL", 10)), std::nullopt);
    EXPECT_EQ(parseUnitSerialPage(std::vector<std::uint8_t>{0x00, 0x80}), std::nullopt);
}

TEST(VitalProductData, AtaInformationPageGivesTheFullModel)
{
    // IDENTIFY DEVICE keeps the model in words 27 to 46, two characters per
    // word with the first in the high byte.
    const std::string model = "WDC WD5000AAKX-00ERMA0";
    std::string padded = model + std::string(40 - model.size(), ' ');
    std::vector<std::uint8_t> ataPage(60 + 512, 0);
    ataPage[1] = 0x89;
    ataPage[2] = 0x02;
    ataPage[3] = 0x38;
    for (std::size_t i = 0; i < padded.size(); i += 2) {
        ataPage[60 + 54 + i] = static_cast<std::uint8_t>(padded[i + 1]);
        ataPage[60 + 54 + i + 1] = static_cast<std::uint8_t>(padded[i]);
    }
    EXPECT_EQ(parseAtaInformationModel(ataPage), model);

    ataPage[1] = 0x80;
    EXPECT_EQ(parseAtaInformationModel(ataPage), std::nullopt);
    ataPage[1] = 0x89;
    ataPage.resize(300);
    EXPECT_EQ(parseAtaInformationModel(ataPage), std::nullopt) << "a short page holds no IDENTIFY data";
}

} // namespace
} // namespace orvel::sysfs
