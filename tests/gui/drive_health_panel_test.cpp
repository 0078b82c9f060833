// The drive health panel: its parts and their places, its buttons, and the
// inventory thread that fills the drive list while the main window waits.
#include "health_panel_fixture.h"
#include "widget_pixels.h"

#include "controls/orvel_button.h"
#include "controls/splitter_wnd_extnd.h"
#include "inventory/drive_inventory.h"
#include "panels/control_id.h"
#include "panels/panel_messages.h"

#include <QFontMetrics>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::HealthPanelSession;
using test::plainDrive;
using test::RecordingHealthHost;
using test::SimAttribute;
using test::smartDrive;

const QColor kGreen(140, 191, 63);
const QColor kWhite(255, 255, 255);

COrvelButton* button(CDriveHealthWnd& panel, int id)
{
    return findControl<COrvelButton>(panel, id);
}

std::vector<SimDriveSetup> demoDrives()
{
    return {smartDrive("ABC XY1000QZ-00RS ATA Device",
                       {{1, 200, 200, 51, {0, 0, 0, 0, 0, 0}},
                        {9, 97, 97, 0, {0xA0, 0x08, 0, 0, 0, 0}},
                        {12, 100, 100, 0, {0x7B, 0x02, 0, 0, 0, 0}},
                        {190, 65, 52, 45, {0x23, 0, 0x1A, 0x28, 0, 0}},
                        {194, 100, 100, 0, {0x2D, 0x00, 0x12, 0x00, 0x37, 0x00}}}),
            plainDrive("Maker SSD 850 EVO 250GB", 250059350016), plainDrive("Stick Card Reader", 1048576)};
}

TEST(DriveHealthPanel, LaysOutTheSplitterAndButtonsAt600By370)
{
    HealthPanelSession session({plainDrive("Disk")});
    ASSERT_TRUE(session.ready());
    auto* splitter = session.panel().findChild<CSplitterWndExtnd*>();
    ASSERT_NE(splitter, nullptr);
    EXPECT_EQ(splitter->geometry(), QRect(0, 0, 600, 300));
    ASSERT_NE(button(session.panel(), CDriveHealthWnd::kBackButtonId), nullptr);
    ASSERT_NE(button(session.panel(), CDriveHealthWnd::kExitButtonId), nullptr);
    EXPECT_EQ(button(session.panel(), CDriveHealthWnd::kBackButtonId)->geometry(), QRect(490, 310, 50, 25));
    EXPECT_EQ(button(session.panel(), CDriveHealthWnd::kExitButtonId)->geometry(), QRect(545, 310, 50, 25));

    EXPECT_EQ(session.driveList().height(), 100) << "the drive list starts 100 pixels high";
    EXPECT_EQ(splitter->firstPaneClass_, &CLeftListView::staticMetaObject);
    EXPECT_EQ(splitter->secondPaneClass_, &CRightListView::staticMetaObject);

    session.panel().resize(700, 500);
    EXPECT_EQ(splitter->geometry(), QRect(0, 0, 700, 430));
    EXPECT_EQ(button(session.panel(), CDriveHealthWnd::kExitButtonId)->geometry(), QRect(645, 440, 50, 25));
}

TEST(DriveHealthPanel, ButtonsAreGreenWithWhiteTextInTheEighteenPixelFont)
{
    HealthPanelSession session(demoDrives());
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    for (const auto& [id, caption] : {std::pair{CDriveHealthWnd::kBackButtonId, "Back"},
                                      std::pair{CDriveHealthWnd::kExitButtonId, "Exit"}}) {
        SCOPED_TRACE(caption);
        COrvelButton* b = button(session.panel(), id);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), caption);
        EXPECT_LE(QFontMetrics(b->font()).height(), 18) << "the font's cell is 18 pixels high";
        EXPECT_GE(QFontMetrics(b->font()).height(), 16);
        EXPECT_EQ(b->font().family(), QApplication::font().family());
        EXPECT_TRUE(b->customFill_);
        EXPECT_TRUE(b->imageButton_);
        EXPECT_EQ(b->fillColour_, kGreen);
        EXPECT_EQ(b->textColour_, kWhite);
    }

    // Kept for a person to look at; the checks below are on its pixels.
    const QImage picture = test::renderWidget(session.panel());
    picture.save(QStringLiteral(ORVEL_BINARY_DIR "/health-panel.png"));
    for (const QRect& place : {QRect(490, 310, 50, 25), QRect(545, 310, 50, 25)}) {
        EXPECT_GT(test::countColour(picture, kGreen, place), place.width() * place.height() / 3);
        EXPECT_GT(test::countColour(picture, kWhite, place.adjusted(4, 4, -4, -4)), 0) << "no caption";
    }
    EXPECT_EQ(test::pixelAt(picture, 10, 350), kWhite) << "the panel's own background is white";
}

TEST(DriveHealthPanel, MainWindowStaysDisabledUntilTheDriveListIsFilled)
{
    test::SimPlatformFixture simulation;
    RecordingHealthHost host(simulation.make(demoDrives()));
    ClearInventory();
    {
        CDriveHealthWnd panel(host, &host.window);
        ASSERT_TRUE(panel.OnCreate());
        // Nothing has run on this thread since: the list cannot be filled yet.
        EXPECT_FALSE(host.window.isEnabled());
        ASSERT_TRUE(test::waitForInventory(host.window));
        auto* list = qobject_cast<CLeftListView*>(panel.findChild<CSplitterWndExtnd*>()->firstPane_);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->topLevelItemCount(), 3);
        ASSERT_EQ(physicalDrives.size(), 3u);
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(list->driveAt(row), physicalDrives[list->topLevelItem(row)->text(0).toUInt()].get());
    }
    ClearInventory();
}

TEST(DriveHealthPanel, DestroyedWhileTheInventoryRunsWaitsForItAndEnablesTheMainWindow)
{
    test::SimPlatformFixture simulation;
    std::vector<SimDriveSetup> drives;
    for (int number = 0; number < 12; ++number)
        drives.push_back(plainDrive("Maker Disk-" + std::to_string(number)));
    RecordingHealthHost host(simulation.make(std::move(drives)));
    ClearInventory();
    auto* panel = new CDriveHealthWnd(host, &host.window);
    ASSERT_TRUE(panel->OnCreate());
    delete panel;  // the thread waits on this thread to add its rows
    EXPECT_TRUE(host.window.isEnabled());
    EXPECT_EQ(physicalDrives.size(), 12u) << "the inventory was cut short";
    ClearInventory();
}

TEST(DriveHealthPanel, BackEmptiesTheInventoryThenAsksForTheHomePanel)
{
    HealthPanelSession session(demoDrives());
    ASSERT_TRUE(session.ready());
    ASSERT_EQ(physicalDrives.size(), 3u);
    QTest::mouseClick(button(session.panel(), CDriveHealthWnd::kBackButtonId), Qt::LeftButton);
    ASSERT_EQ(session.host().requests.size(), 1u);
    EXPECT_EQ(session.host().requests[0].message, WM_SHOW_HOME);
    EXPECT_EQ(session.host().requests[0].physicalDrivesLeft, 0u) << "the inventory was not emptied first";
    EXPECT_EQ(session.driveList().topLevelItemCount(), 0) << "rows still point at the emptied inventory";
}

TEST(DriveHealthPanel, ExitEmptiesTheInventoryThenClosesTheMainWindow)
{
    HealthPanelSession session(demoDrives());
    ASSERT_TRUE(session.ready());
    QTest::mouseClick(button(session.panel(), CDriveHealthWnd::kExitButtonId), Qt::LeftButton);
    ASSERT_EQ(session.host().requests.size(), 1u);
    EXPECT_EQ(session.host().requests[0].message, WM_CLOSE_MAIN);
    EXPECT_EQ(session.host().requests[0].physicalDrivesLeft, 0u) << "the inventory was not emptied first";
}

} // namespace
} // namespace orvel
