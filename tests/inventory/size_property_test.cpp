#include "inventory/size_property.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(SizeProperty, ReadsDigitsAfterBlanksAndSignUpToTheFirstOther)
{
    EXPECT_EQ(parseSizeProperty("500107862016"), 500107862016u);
    EXPECT_EQ(parseSizeProperty("  \t 1024"), 1024u);
    EXPECT_EQ(parseSizeProperty("+2048"), 2048u);
    EXPECT_EQ(parseSizeProperty("4096 bytes"), 4096u);
    EXPECT_EQ(parseSizeProperty("12x34"), 12u);
    EXPECT_EQ(parseSizeProperty("18446744073709551615"), 18446744073709551615u);
}

TEST(SizeProperty, UnusableValuesReadAsZero)
{
    EXPECT_EQ(parseSizeProperty(std::nullopt), 0u);
    EXPECT_EQ(parseSizeProperty(""), 0u);
    EXPECT_EQ(parseSizeProperty("abc"), 0u);
    EXPECT_EQ(parseSizeProperty("+"), 0u);
    EXPECT_EQ(parseSizeProperty("- 5"), 0u);
    EXPECT_EQ(parseSizeProperty("-4096"), 0u) << "a negative size must not wrap to a huge one";
    EXPECT_EQ(parseSizeProperty("18446744073709551616"), 0u) << "beyond 64 bits must not wrap";
}

} // namespace
} // namespace orvel
