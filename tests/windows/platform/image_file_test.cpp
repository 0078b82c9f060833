// Image files through the Windows device layer: the destination of every
// imaging, created with CreateFileW unbuffered.

#include "platform/aligned_buffer.h"
#include "platform/windows/windows_device_access.h"
#include "platform/windows/windows_image_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvel::windows {
namespace {

std::filesystem::path pathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fileText(const std::string& path)
{
    std::ifstream file(pathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

AlignedBuffer patterned(std::size_t bytes, std::uint8_t first)
{
    AlignedBuffer buffer(bytes);
    for (std::size_t at = 0; at < bytes; ++at)
        buffer.data()[at] = static_cast<std::uint8_t>(first + at * 7);
    return buffer;
}

class ImageFile : public testing::Test {
protected:
    test::TempDir folder;
    WindowsDeviceAccess access;
};

TEST_F(ImageFile, TakesWholeSectorsAtAbsoluteOffsetsAndReadsThemBack)
{
    const std::string path = folder.file("disk.img");
    std::unique_ptr<DeviceHandle> image = access.createImageFile(path);
    ASSERT_NE(image, nullptr) << path;
    const AlignedBuffer head = patterned(512, 1);
    const AlignedBuffer tail = patterned(4096, 90);
    ASSERT_TRUE(image->writeAt(8192, tail.data(), 4096).ok);
    ASSERT_TRUE(image->writeAt(0, head.data(), 512).ok);
    EXPECT_TRUE(image->flush().ok);

    std::uint64_t length = 0;
    ASSERT_TRUE(image->queryLength(length));
    EXPECT_EQ(length, 8192u + 4096u);
    AlignedBuffer back(4096);
    ASSERT_TRUE(image->readAt(8192, back.data(), 4096).ok);
    EXPECT_EQ(std::memcmp(back.data(), tail.data(), 4096), 0);

    image.reset();
    const std::string text = fileText(path);
    ASSERT_EQ(text.size(), 12288u);
    EXPECT_EQ(std::memcmp(text.data(), head.data(), 512), 0);
    EXPECT_EQ(text.substr(512, 8192 - 512), std::string(8192 - 512, '\0')) << "the gap reads as zeros";
    EXPECT_EQ(std::memcmp(text.data() + 8192, tail.data(), 4096), 0);
}

TEST_F(ImageFile, ReadingPastTheEndIsAFailureNotAShortSuccess)
{
    std::unique_ptr<DeviceHandle> image = access.createImageFile(folder.file("short.img"));
    ASSERT_NE(image, nullptr);
    const AlignedBuffer sector = patterned(512, 3);
    ASSERT_TRUE(image->writeAt(0, sector.data(), 512).ok);
    AlignedBuffer back(1024);
    const IoResult result = image->readAt(0, back.data(), 1024);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, static_cast<std::uint32_t>(ERROR_HANDLE_EOF));
}

TEST_F(ImageFile, CreatingAgainEmptiesTheEarlierImage)
{
    const std::string path = folder.file("again.img");
    {
        std::unique_ptr<DeviceHandle> image = access.createImageFile(path);
        ASSERT_NE(image, nullptr);
        const AlignedBuffer sectors = patterned(8192, 5);
        ASSERT_TRUE(image->writeAt(0, sectors.data(), 8192).ok);
    }
    std::unique_ptr<DeviceHandle> image = access.createImageFile(path);
    ASSERT_NE(image, nullptr);
    std::uint64_t length = 1;
    ASSERT_TRUE(image->queryLength(length));
    EXPECT_EQ(length, 0u);
}

TEST_F(ImageFile, KeepsOffsetsPastFourGibibytes)
{
    const std::string path = folder.file("large.img");
    std::unique_ptr<DeviceHandle> image = access.createImageFile(path);
    ASSERT_NE(image, nullptr);
    // A file system that keeps no holes would fill five gibibytes.
    {
        HANDLE second = ::CreateFileW(pathOf(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(second, INVALID_HANDLE_VALUE);
        DWORD returned = 0;
        const BOOL sparse = ::DeviceIoControl(second, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
        ::CloseHandle(second);
        if (!sparse)
            GTEST_SKIP() << "the temp folder's file system keeps no sparse files";
    }
    constexpr std::uint64_t kOffset = 5ull << 30;
    const AlignedBuffer sector = patterned(512, 11);
    ASSERT_TRUE(image->writeAt(kOffset, sector.data(), 512).ok);
    std::uint64_t length = 0;
    ASSERT_TRUE(image->queryLength(length));
    EXPECT_EQ(length, kOffset + 512) << "an offset cut to 32 bits would land at " << (kOffset & 0xFFFFFFFFu);
    AlignedBuffer back(512);
    ASSERT_TRUE(image->readAt(kOffset, back.data(), 512).ok);
    EXPECT_EQ(std::memcmp(back.data(), sector.data(), 512), 0);
}

TEST_F(ImageFile, RefusesPathsThatLeadToDevicesOrFolders)
{
    for (const std::string path : {"\\\\.\\PHYSICALDRIVE0", "\\\\.\\C:", "NUL", "nul", "COM1", "CON",
                                   "\\\\?\\GLOBALROOT\\Device\\Harddisk0\\DR0", "bad\xff.img"})
        EXPECT_EQ(access.createImageFile(path), nullptr) << path;
    EXPECT_EQ(access.createImageFile(folder.path()), nullptr) << "a folder";
    EXPECT_EQ(access.createImageFile(""), nullptr);
}

TEST_F(ImageFile, AcceptsNamesOutsideTheAsciiRange)
{
    const std::string path = folder.file("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC.img");  // "été €.img"
    std::unique_ptr<DeviceHandle> image = access.createImageFile(path);
    ASSERT_NE(image, nullptr);
    image.reset();
    EXPECT_TRUE(std::filesystem::exists(pathOf(path)));
}

} // namespace
} // namespace orvel::windows
