#include "platform/linux/block_names.h"
#include "platform/linux/partition_table_regions.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(LinuxBlockNamesTest, KernelNamesOfDisksAndPartitionsAreBare)
{
    for (const char* name : {"sda", "sda1", "nvme0n1p2", "loop7p1", "dm-0", "md_root", "mmcblk0p1"})
        EXPECT_TRUE(isBareKernelName(name)) << name;
}

TEST(LinuxBlockNamesTest, NamesThatCouldLeaveDevAreRefused)
{
    for (const char* name : {"", ".", "..", "../loop0", "loop0/x", "/dev/sda", "sda 1", "C:", "sda\n", "a.b", "~"})
        EXPECT_FALSE(isBareKernelName(name)) << '"' << name << '"';
    EXPECT_FALSE(isBareKernelName(std::string("sda\0x", 5)));
    EXPECT_FALSE(isBareKernelName(std::string(256, 'a'))) << "longer than any kernel name";
}

TEST(LinuxBlockNamesTest, DriveNumbersAreDecimalDigitsOnly)
{
    EXPECT_EQ(parseDriveNumber("0"), 0u);
    EXPECT_EQ(parseDriveNumber("12"), 12u);
    EXPECT_EQ(parseDriveNumber("18446744073709551615"), 18446744073709551615ull);
    for (const char* text : {"", "#1", "1a", "-1", "+1", " 1", "1 ", "0x10", "01", "18446744073709551616", "1/2"})
        EXPECT_FALSE(parseDriveNumber(text).has_value()) << '"' << text << '"';
}

TEST(LinuxPartitionTableRegionsTest, CoverTheMbrAndBothGptCopies)
{
    const std::uint64_t disk = 1ull << 30;
    const std::vector<ByteRange> small = partitionTableRegions(disk, 512);
    ASSERT_EQ(small.size(), 2u);
    EXPECT_EQ(small[0].offset, 0u);
    EXPECT_EQ(small[0].length, 34u * 512);
    EXPECT_EQ(small[1].offset, disk - 33 * 512);
    EXPECT_EQ(small[1].length, 33u * 512);

    const std::vector<ByteRange> large = partitionTableRegions(disk, 4096);
    ASSERT_EQ(large.size(), 2u);
    EXPECT_EQ(large[0].length, 6u * 4096);
    EXPECT_EQ(large[1].offset, disk - 5 * 4096);
    EXPECT_EQ(large[1].length, 5u * 4096);
}

TEST(LinuxPartitionTableRegionsTest, TinyDisksAreClippedNotOverrun)
{
    const std::vector<ByteRange> regions = partitionTableRegions(8 * 512, 512);
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_EQ(regions[0].length, 8u * 512);
    EXPECT_EQ(regions[1].offset, 0u);
    EXPECT_EQ(regions[1].length, 8u * 512);
    EXPECT_TRUE(partitionTableRegions(0, 512).empty());
}

} // namespace
} // namespace orvel
