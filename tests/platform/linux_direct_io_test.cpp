#include "linux_test_support.h"

#include "platform/linux/linux_device_access.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace orvel {
namespace {

using test::makeLoopDevice;
using test::patternBuffer;

class LinuxDirectIoTest : public ::testing::Test {
protected:
    void SetUp() override { ORVEL_SKIP_WITHOUT_LOOP_DEVICES(); }

    std::unique_ptr<DeviceHandle> openDrive(const test::LoopDevice& loop, OpenMode mode = OpenMode::ReadWrite)
    {
        auto drive = access.openPhysicalDrive(std::to_string(loop.diskseq()), mode);
        if (!drive)
            ADD_FAILURE() << "cannot open " << loop.path() << " as drive " << loop.diskseq();
        return drive;
    }

    LinuxDeviceAccess access;
};

TEST_F(LinuxDirectIoTest, FourKibibyteSectorsRefuseSmallerTransfers)
{
    auto loop = makeLoopDevice(test::diskOptions(64ull << 20, 4096, true));
    ASSERT_TRUE(loop);
    auto drive = openDrive(*loop);
    ASSERT_TRUE(drive);
    AlignedBuffer buffer(8192);
    for (std::uint32_t bytes = 512; bytes < 4096; bytes += 512) {
        const IoResult read = drive->readAt(0, buffer.data(), bytes);
        EXPECT_FALSE(read.ok) << bytes << " bytes";
        EXPECT_EQ(read.error, static_cast<std::uint32_t>(EINVAL)) << bytes << " bytes";
    }
    EXPECT_TRUE(drive->readAt(0, buffer.data(), 4096).ok);
    EXPECT_FALSE(drive->readAt(512, buffer.data(), 4096).ok) << "misaligned offset";
    EXPECT_FALSE(drive->writeAt(0, buffer.data(), 512).ok);
    EXPECT_TRUE(drive->writeAt(4096, buffer.data(), 8192).ok);
}

TEST_F(LinuxDirectIoTest, DriveOfMoreThanTwoToThe32SectorsGivesItsFullLength)
{
    const std::uint64_t size = (1ull << 41) + (1ull << 20);  // 2 TiB + 1 MiB: 2^32 + 2048 sectors
    auto loop = makeLoopDevice(test::diskOptions(size));
    ASSERT_TRUE(loop);
    auto drive = openDrive(*loop);
    ASSERT_TRUE(drive);
    std::uint64_t length = 0;
    ASSERT_TRUE(drive->queryLength(length));
    EXPECT_EQ(length, size);

    // The last sector, past 2^32 sectors, is reachable and lands where it should.
    const AlignedBuffer data = patternBuffer(512, 9);
    ASSERT_TRUE(drive->writeAt(size - 512, data.data(), 512).ok);
    const auto landed = test::readBackingFile(*loop, size - 512, 512);
    EXPECT_EQ(std::memcmp(landed.data(), data.data(), 512), 0);
}

TEST_F(LinuxDirectIoTest, TransfersBeyondFourGibibytesLandAtTheirOffset)
{
    auto loop = makeLoopDevice(test::diskOptions(6ull << 30));
    ASSERT_TRUE(loop);
    auto drive = openDrive(*loop);
    ASSERT_TRUE(drive);

    for (const std::uint64_t offset : {(4ull << 30), (4ull << 30) + 512, (5ull << 30) + 12345 * 512ull}) {
        const AlignedBuffer written = patternBuffer(64 * 1024, offset);
        ASSERT_TRUE(drive->writeAt(offset, written.data(), 64 * 1024).ok) << offset;
        const auto landed = test::readBackingFile(*loop, offset, 64 * 1024);
        EXPECT_EQ(std::memcmp(landed.data(), written.data(), 64 * 1024), 0) << "written at " << offset;
        // A 32-bit offset would have put it here.
        EXPECT_EQ(test::readBackingFile(*loop, offset & 0xffffffffull, 512), std::vector<std::uint8_t>(512, 0));

        const std::vector<std::uint8_t> direct = test::readBackingFile(*loop, offset + 4096, 512);
        AlignedBuffer read(512);
        ASSERT_TRUE(drive->readAt(offset + 4096, read.data(), 512).ok);
        EXPECT_EQ(std::memcmp(read.data(), direct.data(), 512), 0) << "read at " << offset + 4096;
    }
}

TEST_F(LinuxDirectIoTest, TransferCutShortByTheEndOfTheDeviceFails)
{
    auto loop = makeLoopDevice(test::diskOptions(1ull << 20));
    ASSERT_TRUE(loop);
    auto drive = openDrive(*loop);
    ASSERT_TRUE(drive);
    AlignedBuffer buffer(8192);
    const std::uint64_t end = 1ull << 20;

    EXPECT_TRUE(drive->readAt(end - 4096, buffer.data(), 4096).ok);
    const IoResult straddling = drive->readAt(end - 4096, buffer.data(), 8192);
    EXPECT_FALSE(straddling.ok) << "half the bytes is not a read";
    EXPECT_EQ(straddling.error, static_cast<std::uint32_t>(EIO));
    EXPECT_FALSE(straddling.deviceLost) << "a device that kept its length is still there";
    EXPECT_FALSE(drive->readAt(end, buffer.data(), 512).ok) << "nothing to read at the end";
    EXPECT_FALSE(drive->writeAt(end - 4096, buffer.data(), 8192).ok);
    EXPECT_FALSE(drive->writeAt(end, buffer.data(), 512).ok);
}

} // namespace
} // namespace orvel
