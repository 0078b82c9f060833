#include "platform/linux/device_users.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/sysmacros.h>

namespace orvel {
namespace {

// /sys/dev/block/8:0 leads to a disk with one partition (8:1), on which a
// device-mapper target and a RAID array are built.
TEST(DeviceUsersTest, HoldersAreNamedAndPartitionsFound)
{
    test::TempDir sysfs;
    const std::string disk = sysfs.file("block/sda");
    std::filesystem::create_directories(disk + "/sda1/holders");
    std::ofstream(disk + "/sda1/partition") << "1\n";
    std::ofstream(disk + "/sda1/dev") << "8:1\n";
    std::filesystem::create_directories(sysfs.file("block/dm-0/dm"));
    std::ofstream(sysfs.file("block/dm-0/dm/name")) << "vg0-home\n";
    std::filesystem::create_directories(sysfs.file("block/md127"));
    std::filesystem::create_directory_symlink("../../../dm-0", disk + "/sda1/holders/dm-0");
    std::filesystem::create_directory_symlink("../../../md127", disk + "/sda1/holders/md127");
    std::filesystem::create_directories(sysfs.file("dev"));
    std::filesystem::create_directory_symlink("../block/sda", sysfs.file("dev/8:0"));
    std::filesystem::create_directory_symlink("../block/sda/sda1", sysfs.file("dev/8:1"));
    const std::string list = sysfs.file("dev");
    const std::string noSwap = "Filename\tType\tSize\tUsed\tPriority\n";

    EXPECT_EQ(partitionsOf(list, ::makedev(8, 0)), std::vector<dev_t>{::makedev(8, 1)});
    EXPECT_TRUE(partitionsOf(list, ::makedev(8, 1)).empty());
    EXPECT_EQ(systemUsersOf(list, noSwap, ::makedev(8, 1)), (std::vector<std::string>{"dm-0 (vg0-home)", "md127"}));
    EXPECT_TRUE(systemUsersOf(list, noSwap, ::makedev(8, 0)).empty());
}

} // namespace
} // namespace orvel
