#include "controls/gdi_plus_bitmap_resource.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(GdiPlusBitmapResource, LoadsThePngWithAlpha)
{
    CGdiPlusBitmapResource bitmap;
    ASSERT_TRUE(bitmap.Load(317));
    ASSERT_NE(bitmap.bitmap_, nullptr);
    EXPECT_EQ(bitmap.bitmap_->size(), QSize(24, 24));
    EXPECT_TRUE(bitmap.bitmap_->hasAlphaChannel());
}

TEST(GdiPlusBitmapResource, UsesTheLow16BitsOfTheId)
{
    CGdiPlusBitmapResource bitmap;
    EXPECT_TRUE(bitmap.Load(0x10000u + 317));
    EXPECT_FALSE(bitmap.Load(0x10000u)) << "an id whose low bits are 0 names no resource";
}

TEST(GdiPlusBitmapResource, FailedLoadLeavesTheObjectEmpty)
{
    // 0 names nothing, 999 is missing, 310 is a picture rather than a PNG
    // image, 60001 is cut off and 60002 empty (the last two: test resources).
    for (const std::uint32_t id : {0u, 999u, 310u, 60001u, 60002u}) {
        CGdiPlusBitmapResource bitmap;
        ASSERT_TRUE(bitmap.Load(317));
        EXPECT_FALSE(bitmap.Load(id)) << "id " << id;
        EXPECT_EQ(bitmap.bitmap_, nullptr) << "id " << id << " left an image behind";
    }
}

} // namespace
} // namespace orvel
