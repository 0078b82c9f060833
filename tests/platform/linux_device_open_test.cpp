#include "linux_test_support.h"

#include "platform/linux/linux_device_access.h"
#include "platform/linux/unique_fd.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvel {
namespace {

using test::LoopDevice;
using test::makeLoopDevice;
using test::patternBuffer;

class LinuxDeviceOpenTest : public ::testing::Test {
protected:
    void SetUp() override { ORVEL_SKIP_WITHOUT_LOOP_DEVICES(); }

    LinuxDeviceAccess access;
};

TEST_F(LinuxDeviceOpenTest, DriveNumberIsTheDiskSequenceNumber)
{
    auto loop = makeLoopDevice(test::diskOptions(64ull << 20));
    ASSERT_TRUE(loop);
    const std::vector<std::uint8_t> marker(512, 0x5a);
    test::writeBackingFile(*loop, 7 * 512, marker);

    auto drive = access.openPhysicalDrive(std::to_string(loop->diskseq()), OpenMode::ReadOnly);
    ASSERT_NE(drive, nullptr) << "diskseq " << loop->diskseq() << " of " << loop->path();
    std::uint64_t length = 0;
    ASSERT_TRUE(drive->queryLength(length));
    EXPECT_EQ(length, 64ull << 20);
    AlignedBuffer sector(512);
    ASSERT_TRUE(drive->readAt(7 * 512, sector.data(), 512).ok);
    EXPECT_EQ(std::memcmp(sector.data(), marker.data(), 512), 0) << "the drive opened is not our loop device";
}

TEST_F(LinuxDeviceOpenTest, NumbersOfNoDiskAndMalformedNumbersFail)
{
    auto loop = makeLoopDevice(test::diskOptions(64ull << 20));
    ASSERT_TRUE(loop);
    // Sequence numbers only grow, so the next ones name no disk yet.
    EXPECT_EQ(access.openPhysicalDrive(std::to_string(loop->diskseq() + 1000000), OpenMode::ReadOnly), nullptr);
    const std::string number = std::to_string(loop->diskseq());
    for (const std::string& text : {std::string(), std::string("#1"), " " + number, number + " ", number + "/", "+" + number})
        EXPECT_EQ(access.openPhysicalDrive(text, OpenMode::ReadOnly), nullptr) << '"' << text << '"';
}

TEST_F(LinuxDeviceOpenTest, VolumeOpensByPartitionKernelName)
{
    auto loop = makeLoopDevice(test::partitionedOptions(64ull << 20, {4, 0}));
    ASSERT_TRUE(loop);
    ASSERT_EQ(loop->partitionNames().size(), 2u);
    auto volume = access.openVolume(loop->partitionNames()[1], OpenMode::ReadWrite);
    ASSERT_NE(volume, nullptr) << loop->partitionNames()[1];

    std::uint64_t length = 0;
    ASSERT_TRUE(volume->queryLength(length));
    const std::uint64_t sysfsSectors = std::stoull(
        test::readSysfsLine("/sys/class/block/" + loop->partitionNames()[1] + "/size"));
    EXPECT_EQ(length, sysfsSectors * 512) << "the partition's own length, not the disk's";

    const std::uint64_t start = std::stoull(
        test::readSysfsLine("/sys/class/block/" + loop->partitionNames()[1] + "/start"));
    const AlignedBuffer data = patternBuffer(4096, 3);
    ASSERT_TRUE(volume->writeAt(4096, data.data(), 4096).ok);
    const auto landed = test::readBackingFile(*loop, start * 512 + 4096, 4096);
    EXPECT_EQ(std::memcmp(landed.data(), data.data(), 4096), 0) << "offsets are relative to the partition";
}

TEST_F(LinuxDeviceOpenTest, NamesThatAreNotBareBlockDevicesFail)
{
    auto loop = makeLoopDevice(test::diskOptions(64ull << 20));
    ASSERT_TRUE(loop);
    for (const std::string& name : {std::string(), std::string("#1"), std::string("."), std::string(".."),
                                    "../" + loop->kernelName(), loop->kernelName() + "/x", loop->path(),
                                    std::string("null"), std::string("zero"), std::string("tty"), std::string("fd"),
                                    std::string("stdin"), std::string("pts"), std::string("loop-control")})
        EXPECT_EQ(access.openVolume(name, OpenMode::ReadOnly), nullptr) << '"' << name << '"';
}

TEST_F(LinuxDeviceOpenTest, ARegularFileInDevIsNeverOpenedAsAVolume)
{
    const std::string name = "orvel-test-file-" + std::to_string(::getpid());
    const std::string path = "/dev/" + name;
    {
        const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        ASSERT_TRUE(fd) << path << ": " << std::strerror(errno);
        ASSERT_EQ(::write(fd.get(), "keep", 4), 4);
    }
    EXPECT_EQ(access.openVolume(name, OpenMode::ReadWrite), nullptr);
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 4) << "the file was touched";
    ::unlink(path.c_str());
}

TEST_F(LinuxDeviceOpenTest, ReadOnlyOpenRefusesWrites)
{
    auto loop = makeLoopDevice(test::diskOptions(64ull << 20));
    ASSERT_TRUE(loop);
    auto drive = access.openPhysicalDrive(std::to_string(loop->diskseq()), OpenMode::ReadOnly);
    ASSERT_NE(drive, nullptr);
    const AlignedBuffer data = patternBuffer(512, 1);
    const IoResult written = drive->writeAt(0, data.data(), 512);
    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.error, static_cast<std::uint32_t>(EBADF));
    EXPECT_EQ(drive->deleteDriveLayout(), LayoutDeletion::Refused) << "a source must never lose its layout";
    EXPECT_EQ(test::readBackingFile(*loop, 0, 512), std::vector<std::uint8_t>(512, 0));
}

} // namespace
} // namespace orvel
