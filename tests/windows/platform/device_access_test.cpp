// Drives and volumes through the Windows device layer, and the free space
// for an image. Raw drives are only opened and measured here, never written:
// a test must not touch a disk it did not make.

#include "engine/disk_device.h"
#include "platform/windows/windows_device_access.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <windows.h>


namespace orvel::windows {
namespace {

std::optional<std::uint64_t> totalBytesOf(const std::wstring& folder)
{
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &available, &total, nullptr))
        return std::nullopt;
    return total.QuadPart;
}

std::wstring wide(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

TEST(DeviceAccess, NamesThatAreNoDriveNumberOrDriveLetterOpenNothing)
{
    WindowsDeviceAccess access;
    for (const char* number : {"0\\..\\..\\C:", "00", "0 ", "-0"})
        EXPECT_EQ(access.openPhysicalDrive(number, OpenMode::ReadOnly), nullptr) << number;
    for (const char* name : {"C:\\Windows", "C:\\", "PHYSICALDRIVE0", "GLOBALROOT", "C"})
        EXPECT_EQ(access.openVolume(name, OpenMode::ReadOnly), nullptr) << name;
}

// Drive 0 and volume C: as the engine opens a source: the sector size found
// by reading, the capacity asked of the driver.
class RawDevice : public testing::TestWithParam<const char*> {};

TEST_P(RawDevice, OpensAsASourceWithItsSectorSizeAndCapacity)
{
    WindowsDeviceAccess access;
    const std::string name = GetParam();
    std::unique_ptr<DeviceHandle> probe = name.front() == '0' ? access.openPhysicalDrive(name, OpenMode::ReadOnly)
                                                                : access.openVolume(name, OpenMode::ReadOnly);
    if (!probe)
        GTEST_SKIP() << name << " cannot be opened here (error " << ::GetLastError()
                     << "): raw access needs an administrator";
    AlignedBuffer sector(4096);
    const IoResult read = probe->readAt(0, sector.data(), 4096);
    if (!read.ok)
        GTEST_SKIP() << name << " opens but does not read (error " << read.error
                     << "): this system gives no raw disk reads (Wine does not)";
    probe.reset();

    DiskDevice device;
    ASSERT_TRUE(openDevice(device, access, name, OpenMode::ReadOnly));
    EXPECT_TRUE(device.sectorSize == 512 || device.sectorSize == 4096) << device.sectorSize;
    EXPECT_GT(device.endSector, 0u) << "the capacity request failed";
}

INSTANTIATE_TEST_SUITE_P(DriveZeroAndVolumeC, RawDevice, testing::Values("0", "C:"));

class FreeSpace : public testing::Test {
protected:
    test::TempDir folder;
    WindowsDeviceAccess access;
};

TEST_F(FreeSpace, IsTheFreeSpaceOfTheFolderThatWillHoldTheImage)
{
    const std::optional<std::uint64_t> free = access.freeSpace(folder.file("new.img"));
    ASSERT_TRUE(free);
    const std::optional<std::uint64_t> total = totalBytesOf(wide(folder.path()));
    ASSERT_TRUE(total);
    EXPECT_GT(*free, 0u);
    EXPECT_LE(*free, *total);
}

TEST_F(FreeSpace, OfARelativeNameIsTheCurrentFoldersFreeSpace)
{
    EXPECT_TRUE(access.freeSpace("new.img"));
}

TEST_F(FreeSpace, UnknownWhereTheFolderOrItsDriveDoesNotExist)
{
    EXPECT_FALSE(access.freeSpace(folder.file("missing\\new.img")));
    const DWORD letters = ::GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        if ((letters & (1u << (letter - 'A'))) == 0) {
            EXPECT_FALSE(access.freeSpace(std::string(1, letter) + ":\\images\\new.img")) << letter;
            return;
        }
    }
}

} // namespace
} // namespace orvel::windows
