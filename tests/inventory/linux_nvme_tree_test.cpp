// NVMe drives in a canned device tree laid out as the kernel lays out /sys:
// which controller serves a namespace (directly, or through a multipath
// subsystem), and the firmware revision the catalog lists with the serial.

#include "platform/linux/linux_drive_catalog.h"
#include "platform/linux/nvme_controller.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvel {
namespace {

namespace fs = std::filesystem;

class NvmeSysfs : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(temp.path().empty()) << "no temp folder";
        sys = fs::path(temp.path()) / "sys";
        fs::create_directories(sys / "block");
        fs::create_directories(temp.path() + "/dev");

        const fs::path pci = sys / "devices" / "pci0000:00";
        const fs::path nvme0 = pci / "0000:3d:00.0" / "nvme" / "nvme0";
        disk("nvme0n1", nvme0, 2);
        write(nvme0 / "model", "WDC WDS500G2B0C-00PXH0                  \n");
        write(nvme0 / "serial", "21044M800123        \n");
        write(nvme0 / "firmware_rev", "211070WD\n");
        write(nvme0 / "state", "live\n");

        // A multipath namespace: its disk hangs below the subsystem, which
        // links to its controllers.
        const fs::path nvme1 = pci / "0000:3e:00.0" / "nvme" / "nvme1";
        const fs::path subsystem = sys / "devices" / "virtual" / "nvme-subsystem" / "nvme-subsys1";
        fs::create_directories(nvme1);
        fs::create_directories(subsystem);
        fs::create_directory_symlink(nvme1, subsystem / "nvme1");
        write(subsystem / "model", "Maker NVMe 2TB\n");
        write(subsystem / "serial", "MK2T0001\n");
        write(subsystem / "firmware_rev", "1.0\n");
        disk("nvme1n1", subsystem, 3);

        const fs::path sata = pci / "0000:00:1f.2" / "ata1" / "host0" / "target0:0:0" / "0:0:0:0";
        disk("sda", sata, 4);
        write(sata / "model", "Maker HD\n");
        disk("nvme5n1", {}, 5);  // a name like a namespace's, without a controller
    }

    void disk(const std::string& name, const fs::path& device, std::uint64_t diskseq)
    {
        const fs::path folder = device.empty() ? sys / "devices" / "virtual" / "block" / name : device / name;
        fs::create_directories(folder);
        write(folder / "diskseq", std::to_string(diskseq) + "\n");
        write(folder / "size", "1000\n");
        if (!device.empty())
            fs::create_directory_symlink(device, folder / "device");
        fs::create_directory_symlink(folder, sys / "block" / name);
    }

    static void write(const fs::path& path, const std::string& content)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    sysfs::SystemRoots roots() const { return {sys.string(), temp.path() + "/dev"}; }

    test::TempDir temp;
    fs::path sys;
};

TEST_F(NvmeSysfs, FindsTheControllerOfANamespaceDirectlyOrThroughItsSubsystem)
{
    EXPECT_EQ(findNvmeController(roots(), "nvme0n1"), "nvme0");
    EXPECT_EQ(findNvmeController(roots(), "nvme1n1"), "nvme1");
}

TEST_F(NvmeSysfs, OtherDisksHaveNoController)
{
    EXPECT_EQ(findNvmeController(roots(), "sda"), std::nullopt);
    EXPECT_EQ(findNvmeController(roots(), "nvme5n1"), std::nullopt) << "a namespace name is not enough";
    EXPECT_EQ(findNvmeController(roots(), "nvme9n1"), std::nullopt) << "no such disk";
    EXPECT_EQ(findNvmeController(roots(), "../nvme0n1"), std::nullopt);
}

TEST_F(NvmeSysfs, TheCatalogListsModelSerialAndFirmwareFromTheController)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(makeLinuxDriveCatalog(roots())->listDiskDrives(true, rows), CatalogStatus::Ok);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].model, "WDC WDS500G2B0C-00PXH0");
    EXPECT_EQ(rows[0].serialNumber, "21044M800123");
    EXPECT_EQ(rows[0].firmwareRevision, "211070WD");
    EXPECT_EQ(rows[1].model, "Maker NVMe 2TB");
    EXPECT_EQ(rows[1].serialNumber, "MK2T0001");
    EXPECT_EQ(rows[1].firmwareRevision, "1.0");
    EXPECT_EQ(rows[2].firmwareRevision, std::nullopt) << "only NVMe controllers keep firmware_rev";
    // Without a controller to ask, a namespace lacking sysfs identity keeps
    // the name that tells it apart.
    EXPECT_EQ(rows[3].model, "Disk nvme5n1");
}

TEST_F(NvmeSysfs, NoFirmwareWithoutTheSerialNumbers)
{
    std::vector<DiskDriveRow> rows;
    ASSERT_EQ(makeLinuxDriveCatalog(roots())->listDiskDrives(false, rows), CatalogStatus::Ok);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].firmwareRevision, std::nullopt);
}

} // namespace
} // namespace orvel
