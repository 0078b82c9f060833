#include "platform/windows/requests/device_paths.h"

#include <gtest/gtest.h>

namespace orvel::windows {
namespace {

TEST(DevicePaths, DriveNumbersNamePhysicalDrives)
{
    EXPECT_EQ(physicalDrivePath("0"), "\\\\.\\PHYSICALDRIVE0");
    EXPECT_EQ(physicalDrivePath("12"), "\\\\.\\PHYSICALDRIVE12");
    for (const char* name : {"", "01", "1a", "-1", "+1", " 1", "1 ", "4294967296", "0\\..\\..\\C:", "0:"})
        EXPECT_EQ(physicalDrivePath(name), std::nullopt) << '"' << name << '"';
}

TEST(DevicePaths, DriveLettersNameVolumes)
{
    EXPECT_EQ(volumePath("D:"), "\\\\.\\D:");
    EXPECT_EQ(volumePath("d:"), "\\\\.\\d:");
    for (const char* name : {"", "D", "D:\\", "D:x", "CD:", "1:", "..", "PHYSICALDRIVE0", "GLOBALROOT", "D:/"})
        EXPECT_EQ(volumePath(name), std::nullopt) << '"' << name << '"';
}

TEST(DevicePaths, DriveNumberOfAPhysicalDrivePath)
{
    EXPECT_EQ(driveNumberOfPath("\\\\.\\PHYSICALDRIVE3"), 3u);
    EXPECT_EQ(driveNumberOfPath("\\\\.\\PhysicalDrive10"), 10u);
    for (const char* path : {"\\\\.\\PHYSICALDRIVE", "\\\\.\\C:", "PHYSICALDRIVE1", "\\\\?\\PHYSICALDRIVE1",
                             "\\\\.\\PHYSICALDRIVE1\\x", "/dev/sda"})
        EXPECT_EQ(driveNumberOfPath(path), std::nullopt) << path;
}

TEST(DevicePaths, DriveRootOfAVolumeCaption)
{
    EXPECT_EQ(driveRootOf("E:"), "E:\\");
    EXPECT_EQ(driveRootOf("E"), std::nullopt);
    EXPECT_EQ(driveRootOf("E:\\"), std::nullopt);
}

TEST(DevicePaths, ImagesGoOnlyToFilesInFileSystems)
{
    for (const char* path : {"C:\\images\\disk.img", "\\\\server\\share\\disk.img", "\\\\?\\C:\\images\\disk.img",
                             "\\\\?\\UNC\\server\\share\\disk.img"})
        EXPECT_TRUE(isFileSystemPath(path)) << path;
    for (const char* path : {"", "\\\\.\\PHYSICALDRIVE0", "\\\\.\\C:", "\\\\.\\NUL", "\\\\.\\COM1",
                             "\\\\?\\GLOBALROOT\\Device\\Harddisk0\\DR0", "\\\\?\\Volume{0e5c1c2a-1b1c-11e9-8000}",
                             "\\\\?\\UNC\\", "\\\\?\\C:"})
        EXPECT_FALSE(isFileSystemPath(path)) << path;
}

} // namespace
} // namespace orvel::windows
