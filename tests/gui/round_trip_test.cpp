// Whole rounds through the program as the operator makes them, from the home
// panel back to it: the real main window, host and panels on simulated
// drives, message boxes answered from a script.
#include "controls/orvel_button.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/health/drive_health_wnd.h"
#include "panels/health/left_list_view.h"
#include "panels/health/right_list_view.h"
#include "panels/imaging_wnd.h"
#include "panels/operation_run.h"
#include "panels/progress_wnd.h"
#include "shell/base_wnd.h"
#include "shell/main_frame.h"
#include "shell/splash_wnd.h"
#include "tests/gui/health_panel_fixture.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shell_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <QTreeWidgetItem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace orvel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::uint64_t kSectors = 4096 + 3;
constexpr const char* kRefusedClose = "Warning | information | ok | Are you sure? An operation is in progress. "
                                      "Press cancel button for terminate the operation.";

// Drive 0 holds a pattern, drive 1 is blank and as large, drive 2 answers
// S.M.A.R.T.
class RoundTest : public testing::Test {
protected:
    RoundTest()
    {
        source = test::simDrive(kSectors);
        source.model = "Pattern Disk";
        source.imagePath = files.file("source.img");
        test::writePatternImage(source.imagePath, source.sizeBytes);
        SimDriveSetup blank = test::simDrive(kSectors);
        blank.model = "Blank Disk";
        SimDriveSetup monitored =
            test::smartDrive("Monitored Disk", {{5, 100, 100, 36, {0, 0, 0, 0, 0, 0}},
                                                {194, 100, 100, 0, {0x2D, 0x00, 0x12, 0x00, 0x37, 0x00}}});
        drives.make({source, blank, monitored});
    }

    ~RoundTest() override
    {
        frame.reset();
        OperationRun::finishLast();
        releaseOperationSlots();
        ClearInventory();
    }

    // The program's window at home; message boxes get these answers, then OK.
    void start(std::vector<MessageAnswer> answers)
    {
        boxes = std::make_unique<test::ScriptedMessageBox>(std::move(answers));
        frame = std::make_unique<CMainFrame>(drives.platform(), *boxes, programPanels());
        frame->show();
    }

    CBaseWnd& host() { return *frame->host_; }

    template <typename P>
    P* shown()
    {
        return qobject_cast<P*>(host().currentPanel());
    }

    CSplashWnd& home()
    {
        CSplashWnd* panel = shown<CSplashWnd>();
        EXPECT_NE(panel, nullptr) << "the host does not show the home panel";
        return *panel;
    }

    // Exactly one panel in the host, the one it shows.
    void expectOnePanel(const char* where)
    {
        const QList<QWidget*> panels = test::childPanels(host());
        ASSERT_EQ(panels.size(), 1) << where;
        EXPECT_EQ(panels.front(), host().currentPanel()) << where;
        EXPECT_TRUE(panels.front()->isVisible()) << where;
    }

    // The panel's inventory thread is done: lists filled, window usable.
    template <typename P>
    P& setUpPanel()
    {
        P* panel = shown<P>();
        EXPECT_NE(panel, nullptr);
        EXPECT_TRUE(test::waitUntil([&] { return panel->listsFilled() && frame->isEnabled(); }))
            << "the drive lists were never filled";
        return *panel;
    }

    // Waits for the operation to end: the log handed to the operator.
    bool waitForTheLog()
    {
        const bool opened = test::waitUntil([&] { return !files_opened.urls.empty(); });
        OperationRun::finishLast();
        return opened;
    }

    std::string logText() { return test::fileText(files_opened.urls.front().toLocalFile().toStdString()); }

    void expectSlotsAndInventoryEmpty()
    {
        EXPECT_EQ(sourceDevice, nullptr);
        EXPECT_EQ(destinationDevice, nullptr);
        EXPECT_EQ(currentJob, nullptr);
        EXPECT_TRUE(physicalDrives.empty());
        EXPECT_TRUE(volumes.empty());
    }

    test::TempDir files;
    test::SimPlatformFixture drives;
    SimDriveSetup source;
    test::OpenedFiles files_opened;
    std::unique_ptr<test::ScriptedMessageBox> boxes;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(RoundTest, CloneFromHomeToHomeCopiesTheDriveAndOpensItsLog)
{
    start({MessageAnswer::Yes});
    QTest::mouseClick(home().cloningButton, Qt::LeftButton);
    expectOnePanel("cloning panel");
    EXPECT_TRUE(host().cloningShown());

    CCloningWnd& cloning = setUpPanel<CCloningWnd>();
    findControl<QComboBox>(cloning, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(cloning, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(cloning, CCloningWnd::kWholeAreaBoxId)->click();
    QTest::mouseClick(findControl<COrvelButton>(cloning, CCloningWnd::kNextId), Qt::LeftButton);

    ASSERT_NE(shown<CProgressWnd>(), nullptr) << "Next did not lead to the progress window";
    expectOnePanel("progress window");
    EXPECT_FALSE(frame->close()) << "the window closed during the operation";
    EXPECT_TRUE(frame->isVisible());

    ASSERT_TRUE(waitForTheLog()) << "the operation never ended";
    EXPECT_NE(shown<CSplashWnd>(), nullptr) << "the end of the operation did not lead home";
    expectOnePanel("home after the clone");
    EXPECT_THAT(test::describe(boxes->requests()), ElementsAre(test::kConfirmClone, kRefusedClose, test::kCompleted));

    EXPECT_EQ(test::fileHead(drives.platform().simulatedDrive(1).backingPath(), source.sizeBytes),
              test::fileHead(source.imagePath, source.sizeBytes))
        << "the destination does not hold the source's bytes";
    ASSERT_EQ(files_opened.urls.size(), 1u);
    EXPECT_EQ(std::filesystem::path(files_opened.urls[0].toLocalFile().toStdString()).parent_path(),
              std::filesystem::path(drives.platform().system().logDirectory()))
        << "the log is not in the platform's log folder";
    const std::string log = logText();
    EXPECT_THAT(log, HasSubstr("Pattern Disk"));
    EXPECT_THAT(log, HasSubstr("Operation successfully completed."));
    expectSlotsAndInventoryEmpty();

    EXPECT_TRUE(frame->close()) << "the window still refuses to close after the operation";
}

TEST_F(RoundTest, ImagingFromHomeToHomeWritesTheImageAndOpensItsLog)
{
    start({MessageAnswer::Yes});
    QTest::mouseClick(home().imagingButton, Qt::LeftButton);
    expectOnePanel("imaging panel");
    EXPECT_FALSE(host().cloningShown());

    CImagingWnd& imaging = setUpPanel<CImagingWnd>();
    const std::string image = files.file("copy.img");
    findControl<QComboBox>(imaging, CImagingWnd::kSourceListId)->setCurrentIndex(0);
    imaging.setSaveDialog([image](QWidget*) { return QString::fromStdString(image); });
    QTest::mouseClick(findControl<COrvelButton>(imaging, CImagingWnd::kBrowseId), Qt::LeftButton);
    QTest::mouseClick(findControl<COrvelButton>(imaging, CImagingWnd::kNextId), Qt::LeftButton);

    ASSERT_NE(shown<CProgressWnd>(), nullptr) << "Next did not lead to the progress window";
    expectOnePanel("progress window");
    ASSERT_TRUE(waitForTheLog()) << "the operation never ended";
    EXPECT_NE(shown<CSplashWnd>(), nullptr) << "the end of the operation did not lead home";
    expectOnePanel("home after the imaging");
    EXPECT_THAT(test::describe(boxes->requests()), ElementsAre(test::kConfirmImaging, test::kCompleted));

    ASSERT_EQ(std::filesystem::file_size(image), source.sizeBytes);
    EXPECT_EQ(test::fileHead(image, source.sizeBytes), test::fileHead(source.imagePath, source.sizeBytes))
        << "the image does not hold the source's bytes";
    EXPECT_THAT(logText(), HasSubstr("Operation successfully completed."));
    expectSlotsAndInventoryEmpty();
}

TEST_F(RoundTest, DriveHealthShowsTheClickedDrivesAttributesAndBackLeadsHome)
{
    start({});
    QTest::mouseClick(home().healthButton, Qt::LeftButton);
    expectOnePanel("drive health panel");
    CDriveHealthWnd* health = shown<CDriveHealthWnd>();
    ASSERT_NE(health, nullptr);
    ASSERT_TRUE(test::waitForInventory(*frame)) << "the drive list was never filled";

    auto* driveList = health->findChild<CLeftListView*>();
    auto* attributes = health->findChild<CRightListView*>();
    ASSERT_NE(driveList, nullptr);
    ASSERT_NE(attributes, nullptr);
    ASSERT_EQ(driveList->topLevelItemCount(), 3);
    QTreeWidgetItem* monitored = nullptr;
    for (int row = 0; row < driveList->topLevelItemCount(); ++row)
        if (driveList->rowTexts(row).join(' ').contains(QStringLiteral("Monitored")))
            monitored = driveList->topLevelItem(row);
    ASSERT_NE(monitored, nullptr) << "the S.M.A.R.T. drive is not listed";
    const QRect place = driveList->visualItemRect(monitored);
    QTest::mouseClick(driveList->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(place.left() + 20, place.center().y()));
    ASSERT_EQ(attributes->topLevelItemCount(), 2) << "the clicked drive's attributes are not shown";
    EXPECT_EQ(attributes->rowTexts(1).front(), QStringLiteral("C2"));
    EXPECT_FALSE(physicalDrives.empty());

    QTest::mouseClick(findControl<COrvelButton>(*health, CDriveHealthWnd::kBackButtonId), Qt::LeftButton);
    EXPECT_NE(shown<CSplashWnd>(), nullptr) << "Back did not lead home";
    expectOnePanel("home after drive health");
    expectSlotsAndInventoryEmpty();
    EXPECT_TRUE(boxes->requests().empty());
}

TEST_F(RoundTest, AfterDriveHealthTheCopyRunsInReverseUntilTheNextCloneIsSetUp)
{
    start({MessageAnswer::Yes});
    QTest::mouseClick(home().healthButton, Qt::LeftButton);
    ASSERT_TRUE(test::waitForInventory(*frame));
    QTest::mouseClick(findControl<COrvelButton>(*shown<CDriveHealthWnd>(), CDriveHealthWnd::kBackButtonId),
                      Qt::LeftButton);
    EXPECT_FALSE(host().forwardCopy());

    QTest::mouseClick(home().imagingButton, Qt::LeftButton);
    setUpPanel<CImagingWnd>();
    QTest::mouseClick(findControl<COrvelButton>(*shown<CImagingWnd>(), CImagingWnd::kBackId), Qt::LeftButton);
    EXPECT_FALSE(host().forwardCopy()) << "a visit to the imaging panel changed the flag";

    QTest::mouseClick(home().cloningButton, Qt::LeftButton);
    CCloningWnd& cloning = setUpPanel<CCloningWnd>();
    EXPECT_FALSE(host().forwardCopy()) << "showing the cloning panel changed the flag";
    findControl<QComboBox>(cloning, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(cloning, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(cloning, CCloningWnd::kWholeAreaBoxId)->click();
    QTest::mouseClick(findControl<COrvelButton>(cloning, CCloningWnd::kNextId), Qt::LeftButton);
    EXPECT_TRUE(host().forwardCopy()) << "a forward clone did not set the flag";
    ASSERT_TRUE(waitForTheLog());
    EXPECT_THAT(logText(), HasSubstr("Operation successfully completed."));
}

TEST_F(RoundTest, ExitOnTheDriveHealthPanelClosesTheProgram)
{
    start({});
    QTest::mouseClick(home().healthButton, Qt::LeftButton);
    ASSERT_TRUE(test::waitForInventory(*frame));
    QTest::mouseClick(findControl<COrvelButton>(*shown<CDriveHealthWnd>(), CDriveHealthWnd::kExitButtonId),
                      Qt::LeftButton);
    EXPECT_FALSE(frame->isVisible()) << "Exit left the window open";
    EXPECT_TRUE(physicalDrives.empty());
    EXPECT_TRUE(boxes->requests().empty());
}

} // namespace
} // namespace orvel
