#include "inventory/attribute_rows.h"
#include "inventory/drive_text.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(DriveSizeText, ScalesByPowersOf1024InSinglePrecision)
{
    EXPECT_EQ(formatDriveSize(500107862016), "465.76 GB");
    EXPECT_EQ(formatDriveSize(2000398934016), "1863.02 GB");
    EXPECT_EQ(formatDriveSize(1048576), "1.00 MB");
    EXPECT_EQ(formatDriveSize(1536), "1.50 KB");
    EXPECT_EQ(formatDriveSize(1024), "1.00 KB");
    EXPECT_EQ(formatDriveSize(1073741824), "1.00 GB");
    EXPECT_EQ(formatDriveSize(1073741823), "1024.00 MB");
    // Single precision shows here: in double this is 12746.07 GB.
    EXPECT_EQ(formatDriveSize(13685993511321), "12746.08 GB");
}

TEST(DriveSizeText, EmptyBelowOneKilobyte)
{
    EXPECT_EQ(formatDriveSize(0), "");
    EXPECT_EQ(formatDriveSize(1023), "");
}

TEST(TemperatureText, NoReadingShowsNotAvailable)
{
    EXPECT_EQ(formatTemperature(0), "N/A");
    EXPECT_EQ(formatTemperature(35), "35 \u00B0C");
}

SmartAttributeSlot slot(std::uint8_t id, std::array<std::uint8_t, 6> raw = {})
{
    SmartAttributeSlot attribute;
    attribute.attributeId = id;
    attribute.rawValue = raw;
    return attribute;
}

TEST(AttributeRowText, ShowsHexIdNameValuesAndFiveRawBytes)
{
    SmartAttributeSlot attribute = slot(0xC2, {0x2D, 0x00, 0x12, 0x00, 0x37, 0xFF});
    attribute.currentValue = 100;
    attribute.worstValue = 100;
    attribute.threshold = 0;
    const AttributeRow row = formatAttributeRow(attribute);
    EXPECT_EQ(row.id, "C2");
    EXPECT_EQ(row.name, "Temperature");
    EXPECT_EQ(row.current, "100");
    EXPECT_EQ(row.worst, "100");
    EXPECT_EQ(row.threshold, "0");
    EXPECT_EQ(row.raw, "370012002d") << "raw byte 5 is not shown";

    EXPECT_EQ(formatAttributeRow(slot(9)).id, "9");
    EXPECT_EQ(formatAttributeRow(slot(0xAA)).name, "");
}

std::vector<std::string> idsInListOrder(const std::vector<std::uint8_t>& ids)
{
    SmartAttributeTable table{};
    for (std::size_t i = 0; i < ids.size(); ++i)
        table[i] = slot(ids[i]);
    std::vector<std::string> shown;
    for (const SmartAttributeSlot* attribute : attributesInListOrder(table))
        shown.push_back(formatAttributeRow(*attribute).id);
    return shown;
}

TEST(AttributeRowOrder, RowsSortByTheirIdText)
{
    EXPECT_EQ(idsInListOrder({1, 9, 12, 190, 194}), (std::vector<std::string>{"1", "9", "BE", "C", "C2"}));
    EXPECT_EQ(idsInListOrder({9, 16}), (std::vector<std::string>{"10", "9"}));
}

TEST(AttributeRowOrder, TheTableEndsAtTheFirstEmptySlot)
{
    EXPECT_EQ(idsInListOrder({5, 3, 0, 1, 2}), (std::vector<std::string>{"3", "5"}));
    EXPECT_TRUE(idsInListOrder({}).empty());
}

TEST(ListLabelOrder, IgnoresCase)
{
    EXPECT_TRUE(listLabelLess("c", "C2"));
    EXPECT_TRUE(listLabelLess("BE", "c"));
    EXPECT_FALSE(listLabelLess("c", "C"));
    EXPECT_TRUE(listLabelLess("10", "2"));
}

} // namespace
} // namespace orvel
