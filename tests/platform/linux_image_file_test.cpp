#include "linux_test_support.h"

#include "platform/linux/linux_device_access.h"
#include "platform/linux/linux_image_file.h"
#include "platform/linux/unique_fd.h"
#include "support/scoped_mount.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvel {
namespace {

std::uint64_t fileSize(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? static_cast<std::uint64_t>(status.st_size) : ~0ull;
}

std::vector<std::uint8_t> readFile(const std::string& path, std::uint64_t offset, std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::pread(fd.get(), data.data(), bytes, static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes))
        ADD_FAILURE() << "cannot read " << path;
    return data;
}

TEST(LinuxImageFileTest, CreatesAFileForDirectWritesAndEmptiesAnExistingOne)
{
    test::TempDir folder;
    const std::string path = folder.file("disk.img");
    {
        const mode_t previousMask = ::umask(022);
        auto image = createLinuxImageFile(path);
        ::umask(previousMask);
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(image->isDirect()) << "the temp folder's file system takes direct I/O";
        const AlignedBuffer data = test::patternBuffer(8192, 2);
        ASSERT_TRUE(image->writeAt(4096, data.data(), 8192).ok);
        EXPECT_TRUE(image->flush().ok);
        std::uint64_t length = 0;
        EXPECT_TRUE(image->queryLength(length));
        EXPECT_EQ(length, 12288u);
        EXPECT_EQ(std::memcmp(readFile(path, 4096, 8192).data(), data.data(), 8192), 0);
    }
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);

    auto again = LinuxDeviceAccess().createImageFile(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(fileSize(path), 0u) << "an existing image is emptied";
}

TEST(LinuxImageFileTest, PathsThatAreNotRegularFilesAreLeftAlone)
{
    test::TempDir folder;
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(createLinuxImageFile(fifo), nullptr);
    EXPECT_EQ(createLinuxImageFile(folder.path()), nullptr);
    EXPECT_EQ(createLinuxImageFile("/dev/null"), nullptr);
    EXPECT_EQ(createLinuxImageFile(""), nullptr);
    EXPECT_EQ(createLinuxImageFile(folder.file("missing/disk.img")), nullptr);

    // Links are never followed, to a file or to where one would be made.
    const std::string precious = folder.file("precious");
    std::ofstream(precious) << "keep";
    for (const std::string& target : {precious, folder.file("new-file")}) {
        const std::string link = target + ".link";
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        EXPECT_EQ(createLinuxImageFile(link), nullptr) << target;
    }
    EXPECT_EQ(fileSize(precious), 4u);
    EXPECT_FALSE(std::filesystem::exists(folder.file("new-file")));
}

TEST(LinuxImageFileTest, SectorsSmallerThanTheFileSystemBlockStillLandInTheImage)
{
    ORVEL_SKIP_WITHOUT_LOOP_DEVICES();
    // ext4 on a 4096-byte-sector disk takes direct transfers only in 4096-byte units.
    auto loop = test::makeLoopDevice(test::diskOptions(64ull << 20, 4096));
    ASSERT_TRUE(loop);
    std::string error;
    ASSERT_TRUE(test::makeExt4(loop->path(), error)) << error;
    auto mount = test::ScopedMount::create(loop->path(), "ext4", error);
    ASSERT_TRUE(mount) << error;
    const std::string path = mount->mountPoint() + "/disk.img";

    {
        auto image = createLinuxImageFile(path);
        ASSERT_NE(image, nullptr);
        const AlignedBuffer block = test::patternBuffer(4096, 4);
        ASSERT_TRUE(image->writeAt(0, block.data(), 4096).ok);
        const AlignedBuffer sector = test::patternBuffer(512, 5);
        ASSERT_TRUE(image->writeAt(4096 + 512, sector.data(), 512).ok) << "a 512-byte sector of a source";
        EXPECT_FALSE(image->isDirect());
        ASSERT_TRUE(image->flush().ok);
        EXPECT_EQ(std::memcmp(readFile(path, 0, 4096).data(), block.data(), 4096), 0);
        EXPECT_EQ(std::memcmp(readFile(path, 4096 + 512, 512).data(), sector.data(), 512), 0);
    }
}

TEST(LinuxImageFileTest, FreeSpaceIsThatOfTheFolderThatWillHoldTheImage)
{
    ORVEL_SKIP_WITHOUT_LOOP_DEVICES();
    auto loop = test::makeLoopDevice(test::diskOptions(64ull << 20));
    ASSERT_TRUE(loop);
    std::string error;
    ASSERT_TRUE(test::makeExt4(loop->path(), error)) << error;
    auto mount = test::ScopedMount::create(loop->path(), "ext4", error);
    ASSERT_TRUE(mount) << error;

    LinuxDeviceAccess access;
    const auto free = access.freeSpace(mount->mountPoint() + "/disk.img");
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 32ull << 20);
    EXPECT_LT(*free, 64ull << 20) << "the space of the small file system, not of the temp folder's";
    EXPECT_FALSE(access.freeSpace("/nonexistent-orvel-folder/disk.img").has_value());
}

// Zeros become holes wherever they land: past the end of a new image, and
// over bytes already in a continued one (resumed from a rescue map), which
// must then read as zeros. ramfs cannot punch holes: the zeros are written.
class ZerosInAnImageFile : public ::testing::TestWithParam<std::string> {};

TEST_P(ZerosInAnImageFile, ReadBackAsZerosAndKeepTheLengthTheWritesReach)
{
    ORVEL_SKIP_WITHOUT_LOOP_DEVICES();
    const std::string& fileSystem = GetParam();
    std::unique_ptr<test::LoopDevice> loop;
    std::string source = fileSystem;  // ramfs is mounted without a device
    std::string error;
    if (fileSystem == "ext4") {
        loop = test::makeLoopDevice(test::diskOptions(64ull << 20));
        ASSERT_TRUE(loop);
        ASSERT_TRUE(test::makeExt4(loop->path(), error)) << error;
        source = loop->path();
    }
    auto mount = test::ScopedMount::create(source, fileSystem, error);
    ASSERT_TRUE(mount) << error;
    const std::string path = mount->mountPoint() + "/disk.img";

    constexpr std::uint32_t kMiB = 1 << 20;
    const AlignedBuffer data = test::patternBuffer(4 * kMiB, 6);
    const AlignedBuffer zeros(2 * kMiB);
    {
        auto image = createLinuxImageFile(path);
        ASSERT_NE(image, nullptr);
        ASSERT_TRUE(image->writeAt(0, data.data(), 4 * kMiB).ok);
        ASSERT_TRUE(image->writeAt(4 * kMiB, zeros.data(), kMiB).ok);
        ASSERT_TRUE(image->flush().ok);
    }
    EXPECT_EQ(fileSize(path), 5u * kMiB) << "trailing zeros still count in the length";
    {
        auto image = continueLinuxImageFile(path);
        ASSERT_NE(image, nullptr);
        ASSERT_TRUE(image->writeAt(kMiB, zeros.data(), kMiB).ok) << "a block of data";
        ASSERT_TRUE(image->writeAt(3 * kMiB + 512, zeros.data(), 512).ok) << "one sector amid data";
        ASSERT_TRUE(image->writeAt(3 * kMiB + kMiB / 2, zeros.data(), kMiB).ok) << "data, then a hole";
        ASSERT_TRUE(image->writeAt(6 * kMiB, zeros.data(), 2 * kMiB).ok) << "past the end";
        ASSERT_TRUE(image->flush().ok);
    }

    std::vector<std::uint8_t> expected(8 * kMiB, 0);
    std::memcpy(expected.data(), data.data(), kMiB);
    std::memcpy(expected.data() + 2 * kMiB, data.data() + 2 * kMiB, kMiB + 512);
    std::memcpy(expected.data() + 3 * kMiB + 1024, data.data() + 3 * kMiB + 1024, kMiB / 2 - 1024);
    ASSERT_EQ(fileSize(path), 8u * kMiB);
    EXPECT_TRUE(readFile(path, 0, 8 * kMiB) == expected) << "bytes differ from what was written last";
    if (fileSystem == "ext4") {
        struct stat status {};
        ASSERT_EQ(::stat(path.c_str(), &status), 0);
        EXPECT_LE(static_cast<std::uint64_t>(status.st_blocks) * 512, 5u * kMiB / 2 + 4096)
            << "storage is taken by the 2.5 MiB of data left only";
    }
}

INSTANTIATE_TEST_SUITE_P(FileSystems, ZerosInAnImageFile, ::testing::Values("ext4", "ramfs"));

} // namespace
} // namespace orvel
