#include "controls/orvel_button.h"
#include "engine/copy_worker.h"
#include "engine/operation_slots.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "panels/progress_wnd.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

const std::string kRetryQuestion = "Orvel Disk Image | question | yes/no | " + std::string(kRetryBadSectorsQuestion);

struct RetryCase {
    const char* name;
    std::vector<MessageAnswer> answers;  // after the confirmation
    bool cancelDuringRetry;
    std::vector<std::string> asked;  // after the confirmation
    std::size_t logs;                // written in all
};

std::ostream& operator<<(std::ostream& out, const RetryCase& retry)
{
    return out << retry.name;
}

// The files of the log folder that end in `extension`.
std::vector<std::filesystem::path> filesEndingIn(const std::string& folder, const char* extension)
{
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == extension)
            found.push_back(entry.path());
    return found;
}

// A whole clone of a source with three sectors that never read: the worker
// offers to read them again, in the same progress window, as often as they
// stay bad.
class RetryOffer : public PanelTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(RetryOffer, YesRetriesTheBadSectorsInTheSameWindowAndNoGoesHome)
{
    const RetryCase& retry = GetParam();
    SimDriveSetup source = patternedDrive(4096 + 2);
    source.badSectors = {{100, 1}, {3000, 2}};
    makeDrives({source, simDrive(4096 + 2)});
    host->switchesPanels = true;
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();
    std::vector<MessageAnswer> answers{MessageAnswer::Yes};
    answers.insert(answers.end(), retry.answers.begin(), retry.answers.end());
    script(answers);

    findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
    auto* window = qobject_cast<CProgressWnd*>(host->currentPanel());
    ASSERT_NE(window, nullptr) << "Next did not lead to the progress window";
    std::vector<int> barValues;
    bool retrying = false;
    bool cancelPressed = false;
    QObject::connect(window->findChild<QProgressBar*>(), &QProgressBar::valueChanged, window, [&](int value) {
        barValues.push_back(value);
        // The bar goes back to 0 only when a retry starts; Cancel is pressed at its first step.
        if (value == 0) {
            retrying = true;
        } else if (retry.cancelDuringRetry && retrying && !cancelPressed) {
            cancelPressed = true;
            findControl<COrvelButton>(*window, CProgressWnd::kCancelId)->click();
        }
    });
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    std::vector<std::string> expected{kConfirmClone};
    expected.insert(expected.end(), retry.asked.begin(), retry.asked.end());
    EXPECT_EQ(asked(), expected);
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    EXPECT_EQ(host->currentPanel(), nullptr);
    EXPECT_EQ(currentJob, nullptr);
    EXPECT_EQ(static_cast<std::size_t>(std::count(barValues.begin(), barValues.end(), 0)), retry.logs - 1)
        << "the percentage did not start again for each retry";
    EXPECT_EQ(filesEndingIn(logs.path(), ".log").size(), retry.logs);
    const std::vector<std::filesystem::path> maps = filesEndingIn(logs.path(), ".map");
    ASSERT_EQ(maps.size(), 1u) << "the retry kept a map of its own";
    const std::string log = fileText(host->openedUrls().front().toLocalFile().toStdString());
    if (retry.logs == 1) {
        EXPECT_THAT(log, Not(HasSubstr("Retrying")));
    } else {
        EXPECT_THAT(log, HasSubstr("Retrying 3 bad sectors from " + maps.front().filename().string()))
            << "the opened log is not the retry's";
    }
    if (retry.cancelDuringRetry) {
        EXPECT_THAT(log, HasSubstr("Operation Cancelled."));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RetryOffer,
    ::testing::Values(RetryCase{"No", {MessageAnswer::No}, false, {kRetryQuestion}, 1},
                      RetryCase{"YesThenNo",
                                {MessageAnswer::Yes, MessageAnswer::No},
                                false,
                                {kRetryQuestion, kRetryQuestion},
                                2},
                      RetryCase{"CancelledDuringTheRetry",
                                {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Ok},
                                true,
                                {kRetryQuestion, kCancelQuestion, kCompleted},
                                2}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace orvel::test
