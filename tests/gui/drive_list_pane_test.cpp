// The drive list pane on simulated drives: what each column shows, the row
// order, and which mouse and keyboard actions reach the attribute list.
#include "health_panel_fixture.h"
#include "panels/health/drive_model_text.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::expectColumnsWithinList;
using test::HealthPanelSession;
using test::plainDrive;
using test::smartDrive;

constexpr int kNumber = 0;
constexpr int kManufacturer = 1;
constexpr int kModel = 2;
constexpr int kSerial = 3;
constexpr int kSize = 4;
constexpr int kTemperature = 5;
constexpr int kStatus = 6;

QString cell(HealthPanelSession& session, const char* label, int column)
{
    const int row = session.driveRow(QString::fromLatin1(label));
    if (row < 0)
        return QStringLiteral("<no row %1>").arg(QString::fromLatin1(label));
    return session.driveList().rowTexts(row).value(column);
}

TEST(DriveListPane, ShowsSizesInBinaryUnitsWithTwoDecimals)
{
    HealthPanelSession session({plainDrive("A", 500107862016), plainDrive("B", 2000398934016),
                                plainDrive("C", 1048576), plainDrive("D", 0), plainDrive("E", 1023),
                                plainDrive("F", 1536), plainDrive("G", 1ull << 30)});
    ASSERT_TRUE(session.ready());
    EXPECT_EQ(cell(session, "0", kSize), "465.76 GB");
    EXPECT_EQ(cell(session, "1", kSize), "1863.02 GB");
    EXPECT_EQ(cell(session, "2", kSize), "1.00 MB");
    EXPECT_EQ(cell(session, "3", kSize), "") << "an absent size leaves the cell empty";
    EXPECT_EQ(cell(session, "4", kSize), "") << "below 1024 bytes the cell stays empty";
    EXPECT_EQ(cell(session, "5", kSize), "1.50 KB");
    EXPECT_EQ(cell(session, "6", kSize), "1.00 GB");
}

TEST(DriveListPane, SplitsTheModelTextIntoManufacturerAndModel)
{
    HealthPanelSession session(
        {plainDrive("ABC XY1000QZ-00RS ATA Device"), plainDrive("Maker SSD 850 EVO 250GB"), plainDrive("NOBLANKS")});
    ASSERT_TRUE(session.ready());
    EXPECT_EQ(cell(session, "0", kManufacturer), "ABC");
    EXPECT_EQ(cell(session, "0", kModel), "XY1000QZ-00RS");
    EXPECT_EQ(cell(session, "1", kManufacturer), "Maker");
    EXPECT_EQ(cell(session, "1", kModel), "SSD");
    EXPECT_EQ(cell(session, "2", kManufacturer), "NOBLANKS");
    EXPECT_EQ(cell(session, "2", kModel), "NOBLANKS");
    EXPECT_EQ(cell(session, "0", kSerial), "SN-ABC XY1000QZ-00RS ATA Device");
    EXPECT_EQ(cell(session, "0", kStatus), "OK");
}

TEST(DriveModelText, CutsAtABlankFromPositionEightOnOnly)
{
    EXPECT_EQ(driveModelNumber("ABCDEFG HIJ"), "HIJ") << "blank at 7: no cut, last word";
    EXPECT_EQ(driveModelNumber("ABCDEFGH IJ"), "ABCDEFGH") << "blank at 8: cut there";
    EXPECT_EQ(driveModelNumber(" LEADING"), " LEADING") << "a blank at position 0 alone does not split";
    EXPECT_EQ(driveManufacturer(" LEADING"), "");
    EXPECT_EQ(driveModelNumber("ABC "), "");
    EXPECT_EQ(driveManufacturer(""), "");
    EXPECT_EQ(driveModelNumber(""), "");
}

TEST(DriveListPane, ShowsNoTemperatureForUsbDrivesAndDrivesWithoutSmart)
{
    // Raw byte 0 of attribute 194 is the temperature.
    const test::SimAttribute temperature{194, 100, 100, 0, {35, 0, 0, 0, 0, 0}};
    SimDriveSetup usb = smartDrive("USB Stick", {temperature});
    usb.interfaceType = "USB";
    HealthPanelSession session({smartDrive("Hot Disk", {temperature}), usb, plainDrive("No Smart")});
    ASSERT_TRUE(session.ready());
    EXPECT_EQ(cell(session, "0", kTemperature), QString::fromUtf8("35 \u00B0C"));
    EXPECT_EQ(cell(session, "1", kTemperature), "N/A") << "USB drives are never asked for S.M.A.R.T. data";
    EXPECT_EQ(cell(session, "2", kTemperature), "N/A");
}

TEST(DriveListPane, OrdersElevenDrivesByTheirNumberAsText)
{
    std::vector<SimDriveSetup> drives;
    for (int number = 0; number < 11; ++number)
        drives.push_back(plainDrive("Maker Model-" + std::to_string(number)));
    HealthPanelSession session(std::move(drives));
    ASSERT_TRUE(session.ready());

    QStringList labels;
    for (const QStringList& row : session.driveRows()) {
        labels.append(row.value(kNumber));
        EXPECT_EQ(row.value(kModel), "Model-" + row.value(kNumber)) << "a row shows another drive than its number";
    }
    EXPECT_EQ(labels, QStringList({"0", "1", "10", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

TEST(DriveListPane, HasTheSevenColumnsNarrowedToFitTheWindowAndAligned)
{
    std::vector<SimDriveSetup> drives(8, plainDrive("Maker Disk", 1048576));
    HealthPanelSession session(drives);
    ASSERT_TRUE(session.ready());
    CLeftListView& list = session.driveList();
    const QStringList headings{"No.", "Manufacturer", "Model", "Serial No.", "Size", "Temperature", "Status"};
    const int widths[] = {40, 100, 150, 150, 80, 100, 80};
    ASSERT_EQ(list.columnCount(), headings.size());
    ASSERT_TRUE(list.verticalScrollBar()->isVisible()) << "eight drives should need the scroll bar";
    expectColumnsWithinList(list);
    for (int column = 0; column < list.columnCount(); ++column) {
        SCOPED_TRACE(headings[column].toStdString());
        EXPECT_EQ(list.headerItem()->text(column), headings[column]);
        EXPECT_LE(list.header()->sectionSize(column), widths[column]);
        const bool right = column == kSize || column == kTemperature;
        const auto alignment = list.topLevelItem(0)->data(column, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(alignment & Qt::AlignRight), right);
    }
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST(DriveListPane, ClickShowsTheDriveAndAKeyboardMoveDoesNot)
{
    const test::SimAttribute hours{9, 98, 98, 0, {0x10, 0x27, 0, 0, 0, 0}};
    const test::SimAttribute errors{1, 100, 100, 51, {0, 0, 0, 0, 0, 0}};
    HealthPanelSession session({smartDrive("First Disk", {hours}), smartDrive("Second Disk", {errors, hours})});
    ASSERT_TRUE(session.ready());
    EXPECT_TRUE(session.attributeRows().empty()) << "nothing is shown before a click";

    session.clickDrive("0");
    ASSERT_EQ(session.attributeRows().size(), 1u);
    EXPECT_EQ(session.attributeRows()[0].value(0), "9");

    QTest::keyClick(&session.driveList(), Qt::Key_Down);
    ASSERT_EQ(session.driveList().currentIndex().row(), session.driveRow("1")) << "the key did not move the selection";
    ASSERT_EQ(session.attributeRows().size(), 1u) << "a keyboard move refilled the attribute list";

    session.clickDrive("1");
    EXPECT_EQ(session.attributeRows().size(), 2u);
}

} // namespace
} // namespace orvel
