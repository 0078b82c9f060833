#include "inventory/drive_inventory.h"
#include "shell/base_wnd.h"
#include "shell/splash_wnd.h"
#include "tests/gui/shell_test_support.h"
#include "tests/gui/widget_pixels.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <memory>

namespace orvel {
namespace {

using test::childPanels;
using test::StandInPanel;

class PanelHostTest : public testing::Test {
protected:
    PanelHostTest()
    {
        drives.make({});
        host = std::make_unique<CBaseWnd>(drives.platform(), boxes, panels.factory());
        host->resize(600, 370);
        host->OnCreate();
        host->show();
    }

    ~PanelHostTest() override { ClearInventory(); }

    // The message the stand-in shown now was made for; 0 for the home panel.
    std::uint32_t shownSwitch()
    {
        if (qobject_cast<CSplashWnd*>(host->currentPanel()) != nullptr)
            return WM_SHOW_HOME;
        auto* standIn = dynamic_cast<StandInPanel*>(host->currentPanel());
        return standIn != nullptr ? standIn->message : 0;
    }

    test::SimPlatformFixture drives;
    test::ScriptedMessageBox boxes;
    test::StandInPanels panels;
    std::unique_ptr<CBaseWnd> host;
};

TEST_F(PanelHostTest, StartsWithTheHomePanelAndTheFlagsAtForwardAndImaging)
{
    EXPECT_EQ(shownSwitch(), WM_SHOW_HOME);
    EXPECT_TRUE(host->currentPanelCreated());
    EXPECT_TRUE(host->forwardCopy());
    EXPECT_FALSE(host->cloningShown());
    EXPECT_EQ(childPanels(*host).size(), 1);
}

TEST_F(PanelHostTest, EverySwitchPutsTheOldPanelAwayBeforeMakingTheNextAndLeavesExactlyOne)
{
    const std::uint32_t road[] = {WM_SHOW_CLONING, WM_COPY_START,   WM_SHOW_HOME,  WM_SHOW_IMAGING, WM_COPY_START,
                                  WM_SHOW_HOME,    WM_SHOW_RESTORE, WM_COPY_START, WM_SHOW_HOME,    WM_SHOW_HEALTH,
                                  WM_SHOW_HOME,    WM_SHOW_IMAGING, WM_SHOW_HOME};
    for (const std::uint32_t message : road) {
        QPointer<QWidget> old = host->currentPanel();
        bool oldStillShown = true;
        panels.onCreate = [&](std::uint32_t) {
            oldStillShown = old != nullptr && old->isVisible() && old->isEnabled();
        };
        host->handlePanelMessage(message);

        EXPECT_FALSE(oldStillShown) << "switch 0x" << std::hex << message << " made its panel while the old one showed";
        EXPECT_EQ(shownSwitch(), message);
        const QList<QWidget*> children = childPanels(*host);
        ASSERT_EQ(children.size(), 1) << "after switch 0x" << std::hex << message;
        EXPECT_EQ(children.front(), host->currentPanel());
        EXPECT_TRUE(old.isNull()) << "the old panel still exists after switch 0x" << std::hex << message;
        EXPECT_TRUE(host->currentPanel()->isVisible());
        EXPECT_EQ(host->currentPanel()->geometry(), QRect(0, 0, 600, 370));
    }
}

TEST_F(PanelHostTest, OnlyTheSetUpSwitchesTellWhetherTheCloningPanelWasLastShown)
{
    host->handlePanelMessage(WM_SHOW_CLONING);
    EXPECT_TRUE(host->cloningShown());
    for (const std::uint32_t message : {WM_COPY_START, WM_SHOW_HOME, WM_SHOW_HEALTH, WM_SHOW_HOME}) {
        host->handlePanelMessage(message);
        EXPECT_TRUE(host->cloningShown()) << "switch 0x" << std::hex << message << " changed it";
    }
    host->handlePanelMessage(WM_SHOW_IMAGING);
    EXPECT_FALSE(host->cloningShown());
    host->handlePanelMessage(WM_COPY_START);
    host->handlePanelMessage(WM_SHOW_HOME);
    EXPECT_FALSE(host->cloningShown());
    // A restore's destination is prepared as a clone's.
    host->handlePanelMessage(WM_SHOW_RESTORE);
    EXPECT_EQ(host->operationKind(), OperationKind::Restore);
    EXPECT_TRUE(host->cloningShown());
}

TEST_F(PanelHostTest, GoingHomeEmptiesTheInventoryWhoeverAsks)
{
    for (const std::uint32_t before : {WM_SHOW_HEALTH, WM_COPY_START, WM_SHOW_HOME}) {
        host->handlePanelMessage(before);
        physicalDrives.push_back(std::make_unique<DriveInfo>());
        volumes.push_back(std::make_unique<DriveInfo>());
        host->handlePanelMessage(WM_SHOW_HOME);
        EXPECT_TRUE(physicalDrives.empty()) << "coming from 0x" << std::hex << before;
        EXPECT_TRUE(volumes.empty()) << "coming from 0x" << std::hex << before;
    }
}

TEST_F(PanelHostTest, OtherSwitchesLeaveTheInventoryAlone)
{
    physicalDrives.push_back(std::make_unique<DriveInfo>());
    host->handlePanelMessage(WM_SHOW_CLONING);
    host->handlePanelMessage(WM_COPY_START);
    EXPECT_EQ(physicalDrives.size(), 1u);
}

TEST_F(PanelHostTest, APanelThatFailsToCreateLeavesTheHostBlankUntilTheNextSwitch)
{
    panels.failing = {WM_SHOW_HEALTH};
    host->handlePanelMessage(WM_SHOW_HEALTH);

    EXPECT_EQ(shownSwitch(), WM_SHOW_HEALTH) << "the failed panel is kept until the next switch";
    EXPECT_FALSE(host->currentPanelCreated());
    EXPECT_FALSE(host->currentPanel()->isVisible());
    const QImage shown = test::renderWidget(*host);
    EXPECT_EQ(test::countColour(shown, QColor(255, 255, 255)), 600 * 370) << "the host shows more than white";

    host->handlePanelMessage(WM_SHOW_HOME);
    EXPECT_EQ(shownSwitch(), WM_SHOW_HOME);
    EXPECT_TRUE(host->currentPanel()->isVisible());
    EXPECT_EQ(childPanels(*host).size(), 1);
}

TEST_F(PanelHostTest, OnlyAProgressWindowThatWasCreatedCountsAsARunningOperation)
{
    EXPECT_FALSE(host->showsOperation());
    host->handlePanelMessage(WM_COPY_START);
    EXPECT_TRUE(host->showsOperation());
    host->handlePanelMessage(WM_SHOW_HOME);
    EXPECT_FALSE(host->showsOperation());

    panels.failing = {WM_COPY_START};
    host->handlePanelMessage(WM_COPY_START);
    EXPECT_FALSE(host->showsOperation()) << "no operation started, yet the program could not be closed";
}

TEST_F(PanelHostTest, ResizingTheHostStretchesThePanel)
{
    host->handlePanelMessage(WM_SHOW_CLONING);
    host->resize(640, 420);
    EXPECT_EQ(host->currentPanel()->geometry(), QRect(0, 0, 640, 420));
}

} // namespace
} // namespace orvel
