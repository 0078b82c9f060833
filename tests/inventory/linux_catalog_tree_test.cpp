// The Linux drive catalog over a canned device tree laid out as the kernel
// lays out /sys for a SATA disk, a USB stick, an NVMe drive (with a hidden
// path of its namespace), a virtio disk, loop devices, zram, a RAM disk and
// an optical drive.

#include "platform/linux/linux_drive_catalog.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvel {
namespace {

namespace fs = std::filesystem;

class CannedSysfs : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty()) << "no temp folder";
        sys = fs::path(temp.path()) / "sys";
        fs::create_directories(sys / "block");
        fs::create_directories(sys / "class" / "block");
        fs::create_directories(temp.path() + "/dev");

        const fs::path pci = sys / "devices" / "pci0000:00";
        const fs::path sataDevice = pci / "0000:00:1f.2" / "ata1" / "host0" / "target0:0:0" / "0:0:0:0";
        const fs::path sda = disk("sda", sataDevice, 4, 976773168);
        write(sataDevice / "vendor", "ATA     \n");
        write(sataDevice / "model", "WDC WD5000AAKX-0\n");
        write(sataDevice / "state", "running\n");
        write(sataDevice / "type", "0\n");
        write(sataDevice / "vpd_pg80", std::string("\x00\x80\x00\x14     WD-WCAYUJ123456", 24));
        partition(sda, "sda2", 2, 2048);
        partition(sda, "sda1", 1, 1024);

        const fs::path usbDevice = pci / "0000:00:14.0" / "usb2" / "2-1";
        write(usbDevice / "idVendor", "0781\n");
        write(usbDevice / "serial", "4C530001230101118293\n");
        const fs::path stickDevice = usbDevice / "2-1:1.0" / "host6" / "target6:0:0" / "6:0:0:0";
        const fs::path sdb = disk("sdb", stickDevice, 7, 30031872);
        write(sdb / "removable", "1\n");
        write(stickDevice / "vendor", "SanDisk \n");
        write(stickDevice / "model", "Cruzer Blade    \n");
        write(stickDevice / "state", "offline\n");
        write(stickDevice / "type", "0\n");

        const fs::path controller = pci / "0000:3d:00.0" / "nvme" / "nvme0";
        disk("nvme0n1", controller, 2, 1953525168);
        write(controller / "model", "Samsung SSD 970 EVO 1TB                 \n");
        write(controller / "serial", "S467NX0M123456A     \n");
        write(controller / "state", "live\n");

        const fs::path virtio = pci / "0000:00:02.0" / "virtio1";
        const fs::path vda = disk("vda", virtio, 9, 536870912);
        write(virtio / "vendor", "0x1af4\n");
        write(vda / "serial", "196663262949721");
        fs::create_directories(sys / "bus" / "virtio" / "drivers" / "virtio_blk");
        fs::create_directory_symlink(sys / "bus" / "virtio" / "drivers" / "virtio_blk", virtio / "driver");

        const fs::path attached = disk("loop1", {}, 12, 131072);
        write(attached / "loop" / "backing_file", "/var/tmp/images/disk.img\n");
        disk("loop0", {}, 3, 0);
        disk("zram0", {}, 10, 0);
        disk("ram0", {}, 1, 8192);
        write(disk("nvme0c0n1", controller, 6, 1953525168) / "hidden", "1\n");
        const fs::path opticalDevice = pci / "0000:00:1f.2" / "ata2" / "host1" / "target1:0:0" / "1:0:0:0";
        const fs::path sr0 = disk("sr0", opticalDevice, 5, 1433600);
        write(opticalDevice / "type", "5\n");
        partition(sr0, "sr0p1", 1, 1433600);
    }

    // A whole disk: its folder below `device` (or among the virtual block
    // devices), linked from /sys/block and /sys/class/block.
    fs::path disk(const std::string& name, const fs::path& device, std::uint64_t diskseq, std::uint64_t sectors)
    {
        const fs::path folder = device.empty() ? sys / "devices" / "virtual" / "block" / name : device / "block" / name;
        fs::create_directories(folder);
        write(folder / "diskseq", std::to_string(diskseq) + "\n");
        write(folder / "size", std::to_string(sectors) + "\n");
        write(folder / "removable", "0\n");
        if (!device.empty())
            fs::create_directory_symlink(device, folder / "device");
        fs::create_directory_symlink(folder, sys / "block" / name);
        fs::create_directory_symlink(folder, sys / "class" / "block" / name);
        return folder;
    }

    void partition(const fs::path& diskFolder, const std::string& name, unsigned number, std::uint64_t sectors)
    {
        const fs::path folder = diskFolder / name;
        fs::create_directories(folder);
        write(folder / "partition", std::to_string(number) + "\n");
        write(folder / "size", std::to_string(sectors) + "\n");
        fs::create_directory_symlink(folder, sys / "class" / "block" / name);
    }

    static void write(const fs::path& path, const std::string& content)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    std::unique_ptr<DriveCatalog> catalog() { return makeLinuxDriveCatalog({sys.string(), temp.path() + "/dev"}); }

    test::TempDir temp;
    fs::path sys;
};

TEST_F(CannedSysfs, ListsWholeDisksByDriveNumberWithoutRamZramIdleLoopsHiddenOrOptical)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(catalog()->listDiskDrives(false, rows), CatalogStatus::Ok);

    std::vector<std::uint64_t> numbers;
    for (const DiskDriveRow& row : rows)
        numbers.push_back(row.index.value_or(0));
    EXPECT_EQ(numbers, (std::vector<std::uint64_t>{2, 4, 7, 9, 12}));
}

TEST_F(CannedSysfs, DescribesEachKindOfDisk)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(catalog()->listDiskDrives(true, rows), CatalogStatus::Ok);
    ASSERT_EQ(rows.size(), 5u);

    struct Expected {
        std::string model, name, size, interfaceType, mediaType, status, serial;
    };
    const std::vector<Expected> expected = {
        {"Samsung SSD 970 EVO 1TB", "/dev/disk/by-diskseq/2", "1000204886016", "SCSI", "Fixed hard disk media", "OK",
         "S467NX0M123456A"},
        {"WDC WD5000AAKX-0", "/dev/disk/by-diskseq/4", "500107862016", "IDE", "Fixed hard disk media", "OK",
         "WD-WCAYUJ123456"},
        {"SanDisk Cruzer Blade", "/dev/disk/by-diskseq/7", "15376318464", "USB", "Removable Media", "Error",
         "4C530001230101118293"},
        {"Virtual disk vda", "/dev/disk/by-diskseq/9", "274877906944", "SCSI", "Fixed hard disk media", "OK",
         "196663262949721"},
        {"Loop device disk.img", "/dev/disk/by-diskseq/12", "67108864", "SCSI", "Fixed hard disk media", "OK", ""},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DiskDriveRow& row = rows[i];
        SCOPED_TRACE(expected[i].model);
        EXPECT_EQ(row.model, expected[i].model);
        EXPECT_EQ(row.caption, expected[i].model);
        EXPECT_EQ(row.name, expected[i].name);
        EXPECT_EQ(row.size, expected[i].size);
        EXPECT_EQ(row.interfaceType, expected[i].interfaceType);
        EXPECT_EQ(row.mediaType, expected[i].mediaType);
        EXPECT_EQ(row.status, expected[i].status);
        EXPECT_EQ(row.serialNumber.value_or(""), expected[i].serial);
    }
}

TEST_F(CannedSysfs, SerialNumbersOnlyWhenAskedFor)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(catalog()->listDiskDrives(false, rows), CatalogStatus::Ok);
    for (const DiskDriveRow& row : rows)
        EXPECT_FALSE(row.serialNumber.has_value()) << *row.model;
}

TEST_F(CannedSysfs, PartitionsAreVolumesInDiskAndPartitionOrder)
{
    std::vector<LogicalDiskRow> rows;
    ASSERT_EQ(catalog()->listLogicalDisks(rows), CatalogStatus::Ok);

    ASSERT_EQ(rows.size(), 2u) << "the optical drive's partition is no volume";
    EXPECT_EQ(rows[0].caption, "sda1");
    EXPECT_EQ(rows[0].name, "sda1");
    EXPECT_EQ(rows[0].size, "524288");
    EXPECT_EQ(rows[1].caption, "sda2");
    EXPECT_EQ(rows[1].size, "1048576");
}

TEST_F(CannedSysfs, TellsOpticalDrives)
{
    const auto drives = catalog();
    EXPECT_TRUE(drives->isOpticalDrive("sr0"));
    EXPECT_FALSE(drives->isOpticalDrive("sda1"));
    EXPECT_FALSE(drives->isOpticalDrive("../sr0"));
}

TEST_F(CannedSysfs, AMissingTreeIsAServiceFailure)
{
    const auto drives = makeLinuxDriveCatalog({temp.path() + "/nothing", temp.path() + "/dev"});
    std::vector<DiskDriveRow> disks;
    std::vector<LogicalDiskRow> partitions;
    EXPECT_EQ(drives->listDiskDrives(true, disks), CatalogStatus::ServiceFailed);
    EXPECT_EQ(drives->listLogicalDisks(partitions), CatalogStatus::ServiceFailed);
}

TEST_F(CannedSysfs, LinuxCountsAsAVersionWithPlainTextSerials)
{
    const std::optional<OsVersion> version = catalog()->osVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_TRUE(version->major > 6 || (version->major == 6 && version->minor >= 2));
}

} // namespace
} // namespace orvel
