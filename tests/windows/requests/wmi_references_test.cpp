#include "platform/windows/requests/wmi_references.h"

#include <gtest/gtest.h>

namespace orvel::windows {
namespace {

TEST(WmiReferences, KeyValueOfAnObjectPath)
{
    EXPECT_EQ(keyValueOf("\\\\HOST\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"C:\""), "C:");
    EXPECT_EQ(keyValueOf("\\\\HOST\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #1, Partition #0\""),
              "Disk #1, Partition #0");
    EXPECT_EQ(keyValueOf("Win32_Directory.Name=\"C:\\\\Users\\\\\\\"x\\\"\""), "C:\\Users\\\"x\"");
}

TEST(WmiReferences, PathsWithoutAWholeQuotedKeyHaveNone)
{
    EXPECT_EQ(keyValueOf("Win32_LogicalDisk"), std::nullopt);
    EXPECT_EQ(keyValueOf("Win32_LogicalDisk.DeviceID=\"C:"), std::nullopt);
    EXPECT_EQ(keyValueOf("Win32_LogicalDisk.DeviceID=\"C:\\"), std::nullopt);
}

TEST(WmiReferences, DiskNumberOfAPartitionKey)
{
    EXPECT_EQ(diskNumberOfPartitionKey("Disk #0, Partition #1"), 0u);
    EXPECT_EQ(diskNumberOfPartitionKey("Disk #12, Partition #0"), 12u);
    EXPECT_EQ(diskNumberOfPartitionKey("Disk #3"), 3u);
    for (const char* key : {"Disk #", "Disk #x, Partition #0", "Partition #1", "Disk 1, Partition #0", "Disk #1x"})
        EXPECT_EQ(diskNumberOfPartitionKey(key), std::nullopt) << key;
}

} // namespace
} // namespace orvel::windows
