#include "linux_test_support.h"

#include "platform/linux/linux_device_access.h"
#include "platform/linux/unique_fd.h"
#include "support/run_command.h"
#include "support/scoped_mount.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>

namespace orvel {
namespace {

using test::LoopDevice;
using test::makeLoopDevice;
using test::runCommand;

std::vector<std::string> partitionsInSysfs(const LoopDevice& loop)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/block/" + loop.kernelName())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(loop.kernelName() + "p", 0) == 0)
            names.push_back(name);
    }
    return names;
}

bool canClaim(const std::string& path)
{
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_EXCL | O_CLOEXEC));
    return fd.valid();
}

LoopDevice::Options partitionedDisk(std::uint32_t sectorSize)
{
    return test::partitionedOptions(64ull << 20, {16, 0}, sectorSize);
}

class LinuxDriveLayoutTest : public ::testing::TestWithParam<std::uint32_t> {
protected:
    void SetUp() override { ORVEL_SKIP_WITHOUT_LOOP_DEVICES(); }

    LinuxDeviceAccess access;
};

TEST_P(LinuxDriveLayoutTest, DeletionLeavesNoPartitionTableAndNothingElseTouched)
{
    const std::uint32_t blockSize = GetParam();
    auto loop = makeLoopDevice(partitionedDisk(blockSize));
    ASSERT_TRUE(loop);
    const std::uint64_t diskBytes = 64ull << 20;
    const std::uint64_t headBlocks = blockSize == 512 ? 34 : 6;
    const std::uint64_t tailBlocks = blockSize == 512 ? 33 : 5;
    // Data just outside the table areas must survive.
    const std::vector<std::uint8_t> keep(blockSize, 0xa5);
    test::writeBackingFile(*loop, headBlocks * blockSize, keep);
    test::writeBackingFile(*loop, diskBytes - (tailBlocks + 1) * blockSize, keep);

    auto drive = access.openPhysicalDrive(std::to_string(loop->diskseq()), OpenMode::ReadWrite);
    ASSERT_NE(drive, nullptr);
    ASSERT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Deleted);

    EXPECT_EQ(test::readBackingFile(*loop, 0, headBlocks * blockSize),
              std::vector<std::uint8_t>(headBlocks * blockSize, 0));
    EXPECT_EQ(test::readBackingFile(*loop, diskBytes - tailBlocks * blockSize, tailBlocks * blockSize),
              std::vector<std::uint8_t>(tailBlocks * blockSize, 0));
    EXPECT_EQ(test::readBackingFile(*loop, headBlocks * blockSize, blockSize), keep);
    EXPECT_EQ(test::readBackingFile(*loop, diskBytes - (tailBlocks + 1) * blockSize, blockSize), keep);

    EXPECT_TRUE(partitionsInSysfs(*loop).empty()) << "the kernel still lists the old partitions";
    EXPECT_FALSE(canClaim(loop->path())) << "the disk is held exclusively for the copy";
    drive.reset();

    const auto dump = runCommand({"sfdisk", "--dump", loop->path()});
    EXPECT_NE(dump.exitStatus, 0) << "sfdisk still finds a table:\n" << dump.output;
    const auto probe = runCommand({"blkid", "--probe", "--match-tag", "PTTYPE", "--output", "value", loop->path()});
    EXPECT_EQ(probe.output, "") << "blkid still finds a table";
    const auto listed = runCommand({"partx", "--show", loop->path()});
    EXPECT_NE(listed.exitStatus, 0) << "partx still finds partitions:\n" << listed.output;
}

TEST_P(LinuxDriveLayoutTest, DeletionRefusesAndWritesNothingWhileAPartitionIsMounted)
{
    auto loop = makeLoopDevice(partitionedDisk(GetParam()));
    ASSERT_TRUE(loop);
    std::string error;
    ASSERT_TRUE(test::makeExt4(loop->partitionPath(0), error)) << error;
    auto mount = test::ScopedMount::create(loop->partitionPath(0), "ext4", error);
    ASSERT_TRUE(mount) << error;
    const std::vector<std::uint8_t> headBefore = test::readBackingFile(*loop, 0, 64 * 1024);
    const std::vector<std::uint8_t> tailBefore = test::readBackingFile(*loop, (64ull << 20) - 64 * 1024, 64 * 1024);

    auto drive = access.openPhysicalDrive(std::to_string(loop->diskseq()), OpenMode::ReadWrite);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Refused);

    EXPECT_EQ(test::readBackingFile(*loop, 0, 64 * 1024), headBefore) << "the start of the disk was written";
    EXPECT_EQ(test::readBackingFile(*loop, (64ull << 20) - 64 * 1024, 64 * 1024), tailBefore)
        << "the end of the disk was written";
    EXPECT_EQ(partitionsInSysfs(*loop).size(), 2u);
    EXPECT_TRUE(mount->isMounted());
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, LinuxDriveLayoutTest, ::testing::Values(512u, 4096u),
                         [](const ::testing::TestParamInfo<std::uint32_t>& sectorSize) { return "Sectors" + std::to_string(sectorSize.param); });

class LinuxVolumeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ORVEL_SKIP_WITHOUT_LOOP_DEVICES();
        loop = makeLoopDevice(partitionedDisk(512));
        ASSERT_TRUE(loop);
        std::string error;
        ASSERT_TRUE(test::makeExt4(loop->partitionPath(0), error)) << error;
    }

    std::unique_ptr<test::ScopedMount> mountVolume()
    {
        std::string error;
        auto mount = test::ScopedMount::create(loop->partitionPath(0), "ext4", error);
        if (!mount)
            ADD_FAILURE() << error;
        return mount;
    }

    LinuxDeviceAccess access;
    std::unique_ptr<LoopDevice> loop;
};

TEST_F(LinuxVolumeTest, DismountUnmountsEveryMountOfTheVolume)
{
    auto first = mountVolume();
    auto second = mountVolume();
    ASSERT_TRUE(first && second);
    auto volume = access.openVolume(loop->partitionNames()[0], OpenMode::ReadWrite);
    ASSERT_NE(volume, nullptr);
    EXPECT_FALSE(volume->lockVolume()) << "a mounted volume cannot be claimed";

    EXPECT_TRUE(volume->dismountVolume());
    EXPECT_FALSE(first->isMounted());
    EXPECT_FALSE(second->isMounted());
    EXPECT_TRUE(volume->dismountVolume()) << "a volume without mounts counts as dismounted";
}

TEST_F(LinuxVolumeTest, DismountLeavesAMountOnTopAloneAndFails)
{
    auto ours = mountVolume();
    ASSERT_TRUE(ours);
    std::string error;
    auto cover = test::ScopedMount::createAt("tmpfs", "tmpfs", ours->mountPoint(), error);
    ASSERT_TRUE(cover) << error;
    auto volume = access.openVolume(loop->partitionNames()[0], OpenMode::ReadWrite);
    ASSERT_NE(volume, nullptr);

    EXPECT_FALSE(volume->dismountVolume());
    EXPECT_TRUE(cover->isMounted()) << "a mount of something else was removed";
    EXPECT_TRUE(ours->isMounted());
}

TEST_F(LinuxVolumeTest, LockHoldsTheVolumeExclusively)
{
    auto volume = access.openVolume(loop->partitionNames()[0], OpenMode::ReadWrite);
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(volume->lockVolume());
    EXPECT_FALSE(canClaim(loop->partitionPath(0)));
    std::string error;
    EXPECT_FALSE(test::ScopedMount::create(loop->partitionPath(0), "ext4", error)) << "mounted while locked";

    const AlignedBuffer data = test::patternBuffer(4096, 11);
    EXPECT_TRUE(volume->writeAt(0, data.data(), 4096).ok) << "transfers go on through the locked handle";
    volume.reset();
    EXPECT_TRUE(canClaim(loop->partitionPath(0))) << "closing the handle ends the lock";
}

} // namespace
} // namespace orvel
