#include "linux_test_support.h"
#include "platform/linux/linux_device_access.h"
#include "platform/linux/lost_device.h"
#include "support/faulty_disk.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/sysmacros.h>

namespace orvel {
namespace {

using test::makeLoopDevice;

TEST(BlockDeviceEntryTest, GoneOnlyWhenTheKernelListLacksTheNumber)
{
    test::TempDir sysfs;
    const std::string list = sysfs.file("block");
    std::filesystem::create_directory(list);
    std::ofstream(list + "/7:3").put('\n');

    EXPECT_FALSE(blockDeviceEntryGone(list, ::makedev(7, 3)));
    EXPECT_TRUE(blockDeviceEntryGone(list, ::makedev(7, 4)));
    EXPECT_TRUE(blockDeviceEntryGone(list, ::makedev(3, 7)));
    // Without the list (sysfs not mounted) nothing can be said to be gone.
    EXPECT_FALSE(blockDeviceEntryGone(sysfs.file("absent"), ::makedev(7, 4)));
}

TEST(BlockDeviceEntryTest, ADiskTheSystemTookOfflineIsGoneForItsPartitionsToo)
{
    // /sys/dev/block/8:0 and 8:1 lead to the disk's folder and its partition's.
    test::TempDir sysfs;
    const std::string disk = sysfs.file("block/sda");
    std::filesystem::create_directories(disk + "/device");
    std::filesystem::create_directories(disk + "/sda1");
    std::ofstream(disk + "/sda1/partition") << "1\n";
    std::filesystem::create_directories(sysfs.file("dev"));
    std::filesystem::create_directory_symlink("../block/sda", sysfs.file("dev/8:0"));
    std::filesystem::create_directory_symlink("../block/sda/sda1", sysfs.file("dev/8:1"));
    const std::vector<std::pair<std::string, bool>> states = {
        {"running", false}, {"offline", true}, {"transport-offline", true}, {"blocked", true}, {"", false}};
    for (const auto& [state, offline] : states) {
        std::ofstream(disk + "/device/state", std::ios::trunc) << state << '\n';
        EXPECT_EQ(blockDeviceOffline(sysfs.file("dev"), ::makedev(8, 0)), offline) << state;
        EXPECT_EQ(blockDeviceOffline(sysfs.file("dev"), ::makedev(8, 1)), offline) << state;
    }
    // A device without a SCSI state (a loop device) is never offline.
    EXPECT_FALSE(blockDeviceOffline(sysfs.file("dev"), ::makedev(7, 0)));
}

class LinuxLostDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ORVEL_SKIP_WITHOUT_LOOP_DEVICES(); }

    LinuxDeviceAccess access;
};

TEST_F(LinuxLostDeviceTest, DiskCutToNothingFailsAsLostForReadsAndWrites)
{
    auto loop = makeLoopDevice(test::diskOptions(4ull << 20));
    ASSERT_TRUE(loop);
    auto disk = access.openPhysicalDrive(std::to_string(loop->diskseq()), OpenMode::ReadWrite);
    ASSERT_NE(disk, nullptr);
    AlignedBuffer buffer(64 * 1024);
    ASSERT_TRUE(disk->readAt(1 << 20, buffer.data(), 64 * 1024).ok);

    std::filesystem::resize_file(loop->backingFile(), 0);
    ASSERT_EQ(test::runCommand({test::findProgram("losetup"), "-c", loop->path()}).exitStatus, 0);

    const IoResult read = disk->readAt(1 << 20, buffer.data(), 64 * 1024);
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.deviceLost);
    EXPECT_EQ(read.error, static_cast<std::uint32_t>(ENOMEDIUM));
    const IoResult written = disk->writeAt(0, buffer.data(), 4096);
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.deviceLost);
}

// An unreadable sector answers EIO just as a pulled card can; the disk is
// still there and still as long, so it is a bad sector and nothing more.
TEST_F(LinuxLostDeviceTest, UnreadableSectorOnAPresentDiskIsNotALostDevice)
{
    if (const std::string reason = test::FaultyDisk::unavailableReason(); !reason.empty())
        GTEST_SKIP() << "needs a faulty disk: " << reason;
    test::FaultyDisk::Options options;
    options.sizeBytes = 4ull << 20;
    options.failingReads = {100};
    std::string error;
    auto faulty = test::FaultyDisk::create(options, error);
    ASSERT_NE(faulty, nullptr) << error;
    auto disk = access.openPhysicalDrive(std::to_string(faulty->loopDevice().diskseq()), OpenMode::ReadOnly);
    ASSERT_NE(disk, nullptr);
    AlignedBuffer buffer(4096);

    const IoResult bad = disk->readAt(100 * 512, buffer.data(), 512);
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, static_cast<std::uint32_t>(EIO));
    EXPECT_FALSE(bad.deviceLost);
    EXPECT_TRUE(disk->readAt(101 * 512, buffer.data(), 512).ok);
}

} // namespace
} // namespace orvel
