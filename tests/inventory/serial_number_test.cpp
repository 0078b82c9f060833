#include "inventory/serial_number.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(DecodeLegacySerial, SwapsWordsStripsPaddingAndDecodes)
{
    EXPECT_EQ(DecodeLegacySerial("2020202044575750"), "WDPW");
}

TEST(DecodeLegacySerial, DropsBytesThatAreNotDigitsOrCapitals)
{
    // "AB-1" reported with each word's bytes exchanged: 4241 312D.
    EXPECT_EQ(DecodeLegacySerial("4241312D"), "AB1");
    // Lower-case letters do not survive either: 61 is 'a'.
    EXPECT_EQ(DecodeLegacySerial("41616141"), "AA");
}

TEST(DecodeLegacySerial, TrailingTwoIsTakenForPadding)
{
    // The serial "AXX2" (41 58 58 32) ends in "32" once the words are put
    // back; its final "2" is stripped as padding, so the last byte decodes
    // from "3" alone and reads '0'.
    EXPECT_EQ(DecodeLegacySerial("58413258"), "AXX0");
}

TEST(DecodeLegacySerial, ShortTrailingGroupIsNotExchanged)
{
    // "5741" becomes "4157"; the trailing "44" stays as it is.
    EXPECT_EQ(DecodeLegacySerial("574144"), "AWD");
}

TEST(DecodeLegacySerial, EmptyAndAllPaddingGiveEmptyText)
{
    EXPECT_EQ(DecodeLegacySerial(""), "");
    EXPECT_EQ(DecodeLegacySerial("20202020"), "");
    EXPECT_EQ(DecodeLegacySerial("0&._"), "");
}

TEST(DecodeLegacySerial, LettersBeyondFCountAsBase36Digits)
{
    // 'Z' is 35: 16 * 35 + 5 = 565, mod 256 = 53 ('5'); either case.
    EXPECT_EQ(DecodeLegacySerial("41Z5"), "5A");
    EXPECT_EQ(DecodeLegacySerial("41z5"), "5A");
    // As a second digit only its value mod 16 counts: 16 * 4 + (35 mod 16) = 'C'.
    EXPECT_EQ(DecodeLegacySerial("4Z41"), "AC");
}

struct SerialRuleCase {
    const char* interfaceType;
    OsVersion version;
    const char* expected;
};

class SerialRules : public testing::TestWithParam<SerialRuleCase> {};

TEST_P(SerialRules, PickTheSerialByInterfaceAndVersion)
{
    const SerialRuleCase& rule = GetParam();
    EXPECT_EQ(applySerialRules("2020202044575750", rule.interfaceType, rule.version), rule.expected)
        << rule.interfaceType << " on " << rule.version.major << "." << rule.version.minor;
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, SerialRules,
    testing::Values(SerialRuleCase{"IDE", {6, 2}, "2020202044575750"}, SerialRuleCase{"SCSI", {10, 0}, "2020202044575750"},
                    SerialRuleCase{"IDE", {7, 0}, "2020202044575750"}, SerialRuleCase{"IDE", {6, 1}, "WDPW"},
                    SerialRuleCase{"IDE", {5, 2}, "WDPW"}, SerialRuleCase{"usb", {6, 1}, "WDPW"},
                    SerialRuleCase{"usb", {5, 2}, "WDPW"}, SerialRuleCase{"USB", {5, 2}, ""},
                    SerialRuleCase{"USB", {5, 3}, ""}, SerialRuleCase{"USB", {5, 1}, "2020202044575750"},
                    SerialRuleCase{"USB", {6, 1}, "2020202044575750"}, SerialRuleCase{"USB", {10, 0}, "2020202044575750"}));

} // namespace
} // namespace orvel
