// The attribute list of the drive health panel: the rows a click on a drive
// shows, their texts and their order.
#include "health_panel_fixture.h"

#include <QHeaderView>

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::expectColumnsWithinList;
using test::HealthPanelSession;
using test::plainDrive;
using test::SimAttribute;
using test::smartDrive;

const SimAttribute kTemperature{194, 100, 100, 0, {0x2D, 0x00, 0x12, 0x00, 0x37, 0x00}};
const SimAttribute kReadErrors{1, 200, 200, 51, {0, 0, 0, 0, 0, 0}};
const SimAttribute kAirflow{190, 65, 52, 45, {0x23, 0, 0x1A, 0x28, 0, 0}};
const SimAttribute kPowerCycles{12, 100, 100, 0, {0x7B, 0x02, 0, 0, 0, 0}};
const SimAttribute kPowerOnHours{9, 97, 97, 0, {0xA0, 0x08, 0, 0, 0, 0}};

QStringList ids(const std::vector<QStringList>& rows)
{
    QStringList result;
    for (const QStringList& row : rows)
        result.append(row.value(0));
    return result;
}

TEST(AttributeList, ListsAttributesInTheOrderOfTheirHexadecimalText)
{
    HealthPanelSession session(
        {smartDrive("Maker Disk", {kTemperature, kReadErrors, kAirflow, kPowerCycles, kPowerOnHours})});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    const std::vector<QStringList> rows = session.attributeRows();
    ASSERT_EQ(ids(rows), QStringList({"1", "9", "BE", "C", "C2"}));

    EXPECT_EQ(rows[0], QStringList({"1", "Raw Read Error Rate", "200", "200", "51", "0000000000"}));
    EXPECT_EQ(rows[1], QStringList({"9", "Power On Hours POH", "97", "97", "0", "00000008a0"}));
    EXPECT_EQ(rows[2], QStringList({"BE", "Airflow Temperature", "65", "52", "45", "00281a0023"}));
    EXPECT_EQ(rows[3], QStringList({"C", "Power Cycle Count", "100", "100", "0", "000000027b"}));
    EXPECT_EQ(rows[4], QStringList({"C2", "Temperature", "100", "100", "0", "370012002d"}))
        << "raw bytes 4 to 0 in lower-case hexadecimal; byte 5 is not shown";
}

TEST(AttributeList, SecondClickOnTheSameDriveShowsTheSameRows)
{
    HealthPanelSession session({smartDrive("Maker Disk", {kTemperature, kReadErrors})});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    const std::vector<QStringList> first = session.attributeRows();
    session.clickDrive("0");
    EXPECT_EQ(session.attributeRows(), first);
    EXPECT_EQ(first.size(), 2u);
}

TEST(AttributeList, DriveWithoutSmartEmptiesTheList)
{
    HealthPanelSession session({smartDrive("Maker Disk", {kTemperature}), plainDrive("Quiet Disk")});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    ASSERT_EQ(session.attributeRows().size(), 1u);
    session.clickDrive("1");
    EXPECT_TRUE(session.attributeRows().empty());
}

TEST(AttributeList, StopsAtTheFirstEmptyEntry)
{
    const SimAttribute empty{0, 0, 0, 0, {}};
    HealthPanelSession session({smartDrive("Maker Disk", {kReadErrors, empty, kTemperature})});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    EXPECT_EQ(ids(session.attributeRows()), QStringList({"1"}));
}

TEST(AttributeList, HasTheSixColumnsNarrowedToFitTheWindowAndAligned)
{
    HealthPanelSession session({smartDrive("Maker Disk", {kReadErrors})});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    CRightListView& list = session.attributeList();
    const QStringList headings{"ID", "Attribute Name", "Current Value", "Worst", "Threshold", "Raw Data"};
    const int widths[] = {40, 230, 100, 60, 80, 100};
    ASSERT_EQ(list.columnCount(), headings.size());
    expectColumnsWithinList(list);
    for (int column = 0; column < list.columnCount(); ++column) {
        SCOPED_TRACE(headings[column].toStdString());
        EXPECT_EQ(list.headerItem()->text(column), headings[column]);
        EXPECT_LE(list.header()->sectionSize(column), widths[column]);
        const auto alignment = list.topLevelItem(0)->data(column, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), column >= 2);
    }
}

} // namespace
} // namespace orvel
