#include "controls/orvel_button.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Panel = CCloningWnd;


QComboBox& sourceList(Panel& panel)
{
    return *findControl<QComboBox>(panel, Panel::kSourceListId);
}

QComboBox& destinationList(Panel& panel)
{
    return *findControl<QComboBox>(panel, Panel::kDestinationListId);
}

CXEdit& field(Panel& panel, int id)
{
    return *findControl<CXEdit>(panel, id);
}

QCheckBox& box(Panel& panel, int id)
{
    return *findControl<QCheckBox>(panel, id);
}

void clickButton(Panel& panel, int id)
{
    findControl<COrvelButton>(panel, id)->click();
}

void chooseRange(Panel& panel, const char* sourceStart, const char* destinationStart, const char* count)
{
    field(panel, Panel::kSourceStartFieldId).setText(sourceStart);
    field(panel, Panel::kDestinationStartFieldId).setText(destinationStart);
    field(panel, Panel::kCountFieldId).setText(count);
}

void choose(Panel& panel, int source, int destination)
{
    sourceList(panel).setCurrentIndex(source);
    destinationList(panel).setCurrentIndex(destination);
}

std::vector<std::string> entryTexts(const QComboBox& list)
{
    std::vector<std::string> texts;
    for (int n = 0; n < list.count(); ++n)
        texts.push_back(list.itemText(n).toStdString());
    return texts;
}

// Entries of the validation drives: 0 "Source" (2048 sectors), 1 "Target"
// (4096 sectors, holding the volume), 2 "Small" (1024 sectors), 3 the
// volume "target1" (the last 2048 sectors of Target).
class CloningPanelTest : public PanelTest {
protected:
    Panel& showWithValidationDrives()
    {
        SimDriveSetup target = simDrive(4096);
        target.model = "Target";
        target.volumes.push_back({"target1", 2048, 2048, false});
        SimDriveSetup source = simDrive(2048);
        source.model = "Source";
        SimDriveSetup small = simDrive(1024);
        small.model = "Small";
        makeDrives({source, target, small});
        return showSetupPanel<Panel>();
    }
};

TEST_F(CloningPanelTest, BothListsShowTheDrivesThenTheVolumesWithoutSerialsOrASelection)
{
    SimDriveSetup big = simDrive(0);
    big.model = "M";
    big.serial = "SERIAL-NOT-READ";
    big.sizeBytes = 500'107'862'016;
    big.volumes.push_back({"m1", 0, 2048, false});
    SimDriveSetup kibibytes = simDrive(2048);
    kibibytes.model = "K";
    SimDriveSetup justOverMebibyte = simDrive(0);
    justOverMebibyte.model = "B";
    justOverMebibyte.sizeBytes = 1'048'577;
    SimDriveSetup roundsToGibibyte = simDrive(0);
    roundsToGibibyte.model = "G";
    roundsToGibibyte.sizeBytes = 1'073'741'825;
    roundsToGibibyte.volumes.push_back({"g1", 0, 4096, false});
    makeDrives({big, kibibytes, justOverMebibyte, roundsToGibibyte});

    Panel& panel = host->show<Panel>();
    EXPECT_FALSE(host->mainWindow()->isEnabled()) << "the main window stays usable while the lists fill";
    ASSERT_TRUE(waitUntil([&panel] { return panel.listsFilled(); }));
    EXPECT_TRUE(host->mainWindow()->isEnabled());

    const std::vector<std::string> expected = {"M:   \r\n(465.76 GB)", "K:   \r\n(1024.00 KB)",
                                               "B:   \r\n(1.00 MB)",   "G:   \r\n(1024.00 MB)",
                                               "m1",                   "g1"};
    EXPECT_EQ(entryTexts(sourceList(panel)), expected);
    EXPECT_EQ(entryTexts(destinationList(panel)), expected);
    EXPECT_EQ(sourceList(panel).currentIndex(), -1);
    EXPECT_EQ(destinationList(panel).currentIndex(), -1);
}

TEST_F(CloningPanelTest, SelectionsNameTheSourceAndDestinationAndNoSelectionChangesNothing)
{
    Panel& panel = showWithValidationDrives();
    sourceList(panel).setCurrentIndex(0);
    destinationList(panel).setCurrentIndex(3);
    EXPECT_EQ(sourceName, "Source");
    EXPECT_EQ(destinationName, "target1");

    sourceList(panel).setCurrentIndex(-1);
    destinationList(panel).setCurrentIndex(-1);
    EXPECT_EQ(sourceName, "Source");
    EXPECT_EQ(destinationName, "target1");
}

struct Refusal {
    const char* name;
    std::function<void(SimPlatform&, Panel&)> setUp;
    std::vector<MessageAnswer> answers;
    std::vector<std::string> asked;
};

std::ostream& operator<<(std::ostream& out, const Refusal& refusal)
{
    return out << refusal.name;
}

class CloningRefusal : public CloningPanelTest, public ::testing::WithParamInterface<Refusal> {};

std::string information(const char* text)
{
    return std::string("Information | information | ok | ") + text;
}

std::string error(const char* text)
{
    return std::string("Error | error | ok | ") + text;
}

// Each refusal in the order Next checks: earlier checks pass, this one stops.
const Refusal kRefusals[] = {
    {"NoSource", [](SimPlatform&, Panel&) {}, {}, {information("Please select a drive.")}},
    {"NoDestination",
     [](SimPlatform&, Panel& panel) { sourceList(panel).setCurrentIndex(0); },
     {},
     {information("Please select a destination drive.")}},
    {"SameEntry",
     [](SimPlatform&, Panel& panel) { choose(panel, 1, 1); },
     {},
     {information("Source and destination drive can not be same.")}},
    {"NotConfirmed",
     [](SimPlatform&, Panel& panel) { choose(panel, 0, 1); },
     {MessageAnswer::No},
     {kConfirmClone}},
    {"SourceGone",
     [](SimPlatform& sims, Panel& panel) {
         choose(panel, 0, 1);
         sims.simulatedDrive(0).disappear();
     },
     {MessageAnswer::Yes},
     {kConfirmClone, error("Failed to open source disk.")}},
    {"DestinationGone",
     [](SimPlatform& sims, Panel& panel) {
         choose(panel, 0, 1);
         sims.simulatedDrive(1).disappear();
     },
     {MessageAnswer::Yes},
     {kConfirmClone, error("Failed to open destination disk.")}},
    {"SourceStartEmpty",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "", "0", "10");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter the value for starting sector no. of source drive.")}},
    {"DestinationStartEmpty",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "0", "", "10");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter the value for destination sector no. of destination drive.")}},
    {"SourceStartPastTheSource",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "2049", "0", "1");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter valid sector number.")}},
    {"DestinationStartPastTheDestination",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "0", "4097", "1");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter valid destination number.")}},
    {"CountEmpty",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "0", "0", "");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter the no. of sectors to copy.")}},
    {"CountZero",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "0", "0", "0");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter valid number of sectors to be copied.")}},
    {"CountLargerThanTheSource",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "0", "0", "2049");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter valid number of sectors to be copied.")}},
    {"RangeRunsPastTheSourceEnd",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 1);
         chooseRange(panel, "100", "0", "2000");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Please enter valid number of sectors to be copied.")}},
    {"RangeRunsPastTheDestinationEnd",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 2);
         chooseRange(panel, "0", "1000", "100");
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Insufficient space. Please choose other destination.")}},
    {"WholeSourceLargerThanTheDestination",
     [](SimPlatform&, Panel& panel) {
         choose(panel, 0, 2);
         box(panel, Panel::kWholeAreaBoxId).click();
     },
     {MessageAnswer::Yes},
     {kConfirmClone, information("Insufficient space. Please choose other destination.")}},
};

TEST_P(CloningRefusal, StopsWithItsMessageAndLeavesNothingOpen)
{
    Panel& panel = showWithValidationDrives();
    GetParam().setUp(sims.platform(), panel);
    script(GetParam().answers);

    clickButton(panel, Panel::kNextId);

    EXPECT_EQ(asked(), GetParam().asked);
    EXPECT_TRUE(host->messages.empty()) << "the operation was started";
    EXPECT_EQ(sourceDevice, nullptr) << "a stopped Next left the source open";
    EXPECT_EQ(destinationDevice, nullptr) << "a stopped Next left the destination open";
    EXPECT_EQ(currentJob, nullptr);
}

INSTANTIATE_TEST_SUITE_P(InTheOrderNextChecks, CloningRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(CloningPanelTest, TheTwoBoxesMoveBetweenRangeWholeAreaAndReverse)
{
    Panel& panel = showWithValidationDrives();
    QCheckBox& whole = box(panel, Panel::kWholeAreaBoxId);
    QCheckBox& reverse = box(panel, Panel::kReverseBoxId);
    chooseRange(panel, "5", "6", "7");
    const auto rangeControls = [&panel] {
        return std::vector<bool>{findControl<CXStatic>(panel, Panel::kSourceStartLabelId)->isEnabled(),
                                 field(panel, Panel::kSourceStartFieldId).isEnabled(),
                                 findControl<CXStatic>(panel, Panel::kCountLabelId)->isEnabled(),
                                 field(panel, Panel::kCountFieldId).isEnabled(),
                                 findControl<CXStatic>(panel, Panel::kDestinationStartLabelId)->isEnabled(),
                                 field(panel, Panel::kDestinationStartFieldId).isEnabled()};
    };
    const std::vector<bool> allEnabled(6, true);
    const std::vector<bool> allDisabled(6, false);
    EXPECT_EQ(rangeControls(), allEnabled);

    whole.click();
    EXPECT_TRUE(whole.isChecked());
    EXPECT_FALSE(reverse.isChecked());
    EXPECT_EQ(rangeControls(), allDisabled);
    EXPECT_EQ(field(panel, Panel::kSourceStartFieldId).text(), "");
    EXPECT_EQ(field(panel, Panel::kCountFieldId).text(), "");
    EXPECT_EQ(field(panel, Panel::kDestinationStartFieldId).text(), "6");

    reverse.click();
    EXPECT_FALSE(whole.isChecked());
    EXPECT_TRUE(reverse.isChecked());
    EXPECT_EQ(rangeControls(), allDisabled);

    whole.click();
    EXPECT_TRUE(whole.isChecked());
    EXPECT_FALSE(reverse.isChecked());

    whole.click();
    EXPECT_FALSE(whole.isChecked());
    EXPECT_FALSE(reverse.isChecked());
    EXPECT_EQ(rangeControls(), allEnabled);
    EXPECT_EQ(field(panel, Panel::kSourceStartFieldId).text(), "");
    EXPECT_EQ(field(panel, Panel::kDestinationStartFieldId).text(), "6");

    reverse.click();
    reverse.click();
    EXPECT_FALSE(whole.isChecked());
    EXPECT_FALSE(reverse.isChecked());
    EXPECT_EQ(rangeControls(), allEnabled);
}

// A screen reader's toggle sets the box without a click; Next must still see
// the mode the box shows.
struct AreaTick {
    const char* name;
    std::function<void(QCheckBox&)> tick;
    int boxId;
    bool forward;
};

void toggleByAccessibility(QCheckBox& box)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&box);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

void toggleBySpace(QCheckBox& box)
{
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
}

void toggleByMouse(QCheckBox& box)
{
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, box.height() / 2));
}

class CloningAreaTick : public CloningPanelTest, public ::testing::WithParamInterface<AreaTick> {};

const AreaTick kAreaTicks[] = {
    {"WholeByAccessibility", toggleByAccessibility, Panel::kWholeAreaBoxId, true},
    {"WholeBySpace", toggleBySpace, Panel::kWholeAreaBoxId, true},
    {"WholeByMouse", toggleByMouse, Panel::kWholeAreaBoxId, true},
    {"ReverseByAccessibility", toggleByAccessibility, Panel::kReverseBoxId, false},
    {"ReverseBySpace", toggleBySpace, Panel::kReverseBoxId, false},
    {"ReverseByMouse", toggleByMouse, Panel::kReverseBoxId, false},
};

TEST_P(CloningAreaTick, NextUsesTheModeTheBoxShowsAndUntickingReturnsToRange)
{
    Panel& panel = showWithValidationDrives();
    host->forward = !GetParam().forward;
    choose(panel, 0, 1);
    QCheckBox& ticked = box(panel, GetParam().boxId);

    GetParam().tick(ticked);
    ASSERT_TRUE(ticked.isChecked());
    EXPECT_FALSE(field(panel, Panel::kSourceStartFieldId).isEnabled());
    script({MessageAnswer::Yes, MessageAnswer::Yes});
    clickButton(panel, Panel::kNextId);
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START)) << "Next asked for a range: " << asked().back();
    EXPECT_EQ(host->forward, GetParam().forward);

    GetParam().tick(ticked);
    ASSERT_FALSE(ticked.isChecked());
    EXPECT_TRUE(field(panel, Panel::kSourceStartFieldId).isEnabled());
    script({MessageAnswer::Yes});
    clickButton(panel, Panel::kNextId);
    EXPECT_THAT(asked().back(), HasSubstr("starting sector no. of source drive"));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START));
}

INSTANTIATE_TEST_SUITE_P(EveryWayOfTicking, CloningAreaTick, ::testing::ValuesIn(kAreaTicks),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(CloningPanelTest, RangeFillsBothRecordsAndTheJobWithTheDefaultTwoRetries)
{
    Panel& panel = showWithValidationDrives();
    host->forward = false;
    choose(panel, 0, 1);
    chooseRange(panel, "0", "0", "2048");
    script({MessageAnswer::Yes});

    clickButton(panel, Panel::kNextId);

    EXPECT_EQ(asked(), std::vector<std::string>{kConfirmClone});
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START));
    EXPECT_TRUE(host->forward);
    ASSERT_NE(sourceDevice, nullptr);
    ASSERT_NE(destinationDevice, nullptr);
    ASSERT_NE(currentJob, nullptr);
    EXPECT_EQ(sourceDevice->startSector, 0u);
    EXPECT_EQ(sourceDevice->endSector, 2048u);
    EXPECT_EQ(destinationDevice->startSector, 0u);
    EXPECT_EQ(sourceDevice->retryCount, 2);
    EXPECT_EQ(currentJob->state, JobState::Running);
    EXPECT_EQ(currentJob->positionBytes, 0u);
    EXPECT_EQ(currentJob->endBytes, 1'048'576u);
}

TEST_F(CloningPanelTest, RangeStartingInsideTheSourceStartsItsProgressThere)
{
    Panel& panel = showWithValidationDrives();
    choose(panel, 0, 1);
    chooseRange(panel, "1000", "7", "1048");
    script({MessageAnswer::Yes});

    clickButton(panel, Panel::kNextId);

    ASSERT_NE(currentJob, nullptr);
    EXPECT_EQ(sourceDevice->startSector, 1000u);
    EXPECT_EQ(sourceDevice->endSector, 2048u);
    EXPECT_EQ(destinationDevice->startSector, 7u);
    EXPECT_EQ(currentJob->positionBytes, 1000u * 512);
    EXPECT_EQ(currentJob->endBytes, 2048u * 512);
}

class CloningRetryChoice : public CloningPanelTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(CloningRetryChoice, TheClickedRadioSetsTheSourcesRetryCount)
{
    const auto [radioId, attempts] = GetParam();
    Panel& panel = showWithValidationDrives();
    choose(panel, 0, 1);
    chooseRange(panel, "0", "0", "1");
    findControl<QRadioButton>(panel, radioId)->click();
    EXPECT_TRUE(findControl<QRadioButton>(panel, radioId)->isChecked());
    script({MessageAnswer::Yes});

    clickButton(panel, Panel::kNextId);

    ASSERT_NE(sourceDevice, nullptr);
    EXPECT_EQ(sourceDevice->retryCount, attempts);
}

INSTANTIATE_TEST_SUITE_P(Radios, CloningRetryChoice,
                         ::testing::Values(std::pair{Panel::kRetry3Id, 3}, std::pair{Panel::kRetry5Id, 5},
                                           std::pair{Panel::kRetry2Id, 2}));

TEST_F(CloningPanelTest, WholeAreaCopiesForwardsAndReverseTurnsForwardCopyOff)
{
    Panel& panel = showWithValidationDrives();
    host->forward = false;
    choose(panel, 0, 1);
    box(panel, Panel::kWholeAreaBoxId).click();
    script({MessageAnswer::Yes, MessageAnswer::Yes});

    clickButton(panel, Panel::kNextId);
    EXPECT_TRUE(host->forward);
    ASSERT_NE(currentJob, nullptr);
    EXPECT_EQ(sourceDevice->startSector, 0u);
    EXPECT_EQ(sourceDevice->endSector, 2048u);
    EXPECT_EQ(destinationDevice->startSector, 0u);
    EXPECT_EQ(currentJob->endBytes, 2048u * 512);

    box(panel, Panel::kReverseBoxId).click();
    clickButton(panel, Panel::kNextId);
    EXPECT_FALSE(host->forward);
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_COPY_START));
}

TEST_F(CloningPanelTest, BackEmptiesTheInventoryAndGoesHome)
{
    Panel& panel = showWithValidationDrives();
    ASSERT_FALSE(physicalDrives.empty());

    clickButton(panel, Panel::kBackId);

    EXPECT_TRUE(physicalDrives.empty());
    EXPECT_TRUE(volumes.empty());
    EXPECT_THAT(host->messages, ElementsAre(WM_SHOW_HOME));
}

// A whole clone from Next to the worker's end, the host switching panels.
class CloningEndToEnd : public CloningPanelTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CloningEndToEnd, CopiesEveryByteTellsTheOperatorGoesHomeAndEmptiesTheSlots)
{
    const bool reverse = GetParam();
    const SimDriveSetup source = patternedDrive(4096 + 3);
    SimPlatform& platform = makeDrives({source, simDrive(4096 + 3)});
    host->switchesPanels = true;
    Panel& panel = showSetupPanel<Panel>();
    choose(panel, 0, 1);
    box(panel, reverse ? Panel::kReverseBoxId : Panel::kWholeAreaBoxId).click();
    script({MessageAnswer::Yes, MessageAnswer::Ok});

    clickButton(panel, Panel::kNextId);
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(asked(), (std::vector<std::string>{kConfirmClone, kCompleted}));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    EXPECT_EQ(host->currentPanel(), nullptr);
    EXPECT_EQ(fileHead(platform.simulatedDrive(1).backingPath(), source.sizeBytes),
              fileHead(source.imagePath, source.sizeBytes))
        << "the destination does not hold the source's bytes";
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_EQ(destinationDevice, nullptr);
    EXPECT_EQ(currentJob, nullptr);
    const std::string log = fileText(host->openedUrls().front().toLocalFile().toStdString());
    EXPECT_THAT(log, HasSubstr("Operation successfully completed."));
}

INSTANTIATE_TEST_SUITE_P(Directions, CloningEndToEnd, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Reverse" : "Forward"; });

} // namespace
} // namespace orvel::test
