#include "engine/setup_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace orvel {
namespace {

TEST(SetupRules, SectorNumbersParseLikeTheOperatorTypedThem)
{
    EXPECT_EQ(parseSectorNumber("2048"), 2048u);
    EXPECT_EQ(parseSectorNumber("   17"), 17u);
    EXPECT_EQ(parseSectorNumber("+5"), 5u);
    EXPECT_EQ(parseSectorNumber("12abc"), 12u);
    EXPECT_EQ(parseSectorNumber("abc"), 0u);
    EXPECT_EQ(parseSectorNumber(""), 0u);
    // A negative number becomes a huge unsigned one and fails the range checks.
    EXPECT_EQ(parseSectorNumber("-1"), UINT64_MAX);
    EXPECT_EQ(parseSectorNumber("99999999999999999999999"), static_cast<std::uint64_t>(INT64_MAX));
    EXPECT_EQ(parseSectorNumber("-99999999999999999999999"), static_cast<std::uint64_t>(INT64_MIN));
}

TEST(SetupRules, OnlyADestinationWithLargerSectorsNeedsAStartOnItsBoundary)
{
    EXPECT_EQ(misalignedDestinationStartMessage(512, 4096, 3),
              "The destination's sectors are 4096 bytes: the destination start must be a multiple of 8. "
              "Please enter valid destination number.");
    EXPECT_EQ(misalignedDestinationStartMessage(512, 4096, 16), "");
    EXPECT_EQ(misalignedDestinationStartMessage(512, 4096, 0), "");
    EXPECT_EQ(misalignedDestinationStartMessage(4096, 512, 3), "");
    EXPECT_EQ(misalignedDestinationStartMessage(512, 512, 3), "");
}

TEST(SetupRules, ImagePathsEndInDotImgCaseSensitively)
{
    EXPECT_EQ(withImageExtension("/backup/disk"), "/backup/disk.img");
    EXPECT_EQ(withImageExtension("/backup/disk.img"), "/backup/disk.img");
    EXPECT_EQ(withImageExtension("/backup/DISK.IMG"), "/backup/DISK.IMG.img");
    EXPECT_EQ(withImageExtension("/backup/disk.im"), "/backup/disk.im.img");
}

TEST(SetupRules, EntrySizesUseSinglePrecisionAndStrictComparisons)
{
    EXPECT_EQ(setupEntrySizeText(500107862016), "(465.76 GB)");
    EXPECT_EQ(setupEntrySizeText(1048576), "(1024.00 KB)");
    EXPECT_EQ(setupEntrySizeText(1048577), "(1.00 MB)");
    EXPECT_EQ(setupEntrySizeText(1073741825), "(1024.00 MB)");
    EXPECT_EQ(setupDriveEntryText("M", "", 500107862016), "M:   \r\n(465.76 GB)");
}

TEST(SetupRules, OpenNamesAreTheDriveNumberOrTheVolumeName)
{
    EXPECT_EQ(openNameOf("\\\\.\\PHYSICALDRIVE12", true), "12");
    EXPECT_EQ(openNameOf("/dev/disk/by-diskseq/9", true), "9");
    EXPECT_EQ(openNameOf("sdb1", false), "sdb1");
}

} // namespace
} // namespace orvel
