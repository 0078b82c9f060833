#include "controls/orvel_button.h"
#include "controls/x_static.h"
#include "engine/copy_job.h"
#include "engine/disk_device.h"
#include "engine/operation_slots.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "panels/progress_text.h"
#include "panels/progress_wnd.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QProgressBar>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;


TEST(ProgressText, PercentTruncatesStopsAtAHundredAndCountsANothingToCopyJobAsDone)
{
    EXPECT_EQ(progressPercent(0, 1000), 0);
    EXPECT_EQ(progressPercent(375, 1000), 37);
    EXPECT_EQ(progressPercent(379, 1000), 37);
    EXPECT_EQ(progressPercent(999, 1000), 99);
    EXPECT_EQ(progressPercent(1000, 1000), 100);
    EXPECT_EQ(progressPercent(1001, 1000), 100);
    EXPECT_EQ(progressPercent(0, 0), 100);
    EXPECT_EQ(progressPercent(512, 0), 100);
    const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(progressPercent(huge / 2, huge), 50);
}

TEST(ProgressText, ElapsedHoursKeepCountingPastADay)
{
    EXPECT_EQ(elapsedText(0), "00:00:00");
    EXPECT_EQ(elapsedText(59), "00:00:59");
    EXPECT_EQ(elapsedText(3600), "01:00:00");
    EXPECT_EQ(elapsedText(24 * 3600), "24:00:00");
    EXPECT_EQ(elapsedText(25 * 3600 + 3 * 60), "25:03:00");
    EXPECT_EQ(elapsedText(123 * 3600 + 45 * 60 + 6), "123:45:06");
    EXPECT_EQ(elapsedText(-5), "00:00:00");
}

// The window's value texts, by the position their layout gives them.
struct ProgressTexts {
    explicit ProgressTexts(CProgressWnd& window)
    {
        for (CXStatic* label : window.findChildren<CXStatic*>(Qt::FindDirectChildrenOnly)) {
            const QRect at = label->geometry();
            if (at.x() == 160 && at.y() == 30)
                operation = label;
            else if (at.x() == 160 && at.y() == 55)
                diskName = label;
            else if (at.y() == 120 && label->text() != "Completed :")
                percent = label;
            else if (at.y() == 205 && label->text() != "Start Time :")
                start = label;
            else if (controlId(*label) == CProgressWnd::kElapsedTextId)
                elapsed = label;
            else if (at.y() == 255 && label->text() != "Total Sectors :")
                total = label;
            else if (at.y() == 280 && label->text() != "Copied Sectors :")
                copied = label;
        }
        bar = window.findChild<QProgressBar*>();
    }

    CXStatic* operation = nullptr;
    CXStatic* diskName = nullptr;
    CXStatic* percent = nullptr;
    CXStatic* start = nullptr;
    CXStatic* elapsed = nullptr;
    CXStatic* total = nullptr;
    CXStatic* copied = nullptr;
    QProgressBar* bar = nullptr;
};

class ProgressWindowTest : public PanelTest {
protected:
    // The slots as a set-up panel leaves them for a whole clone of drive 0 onto drive 1.
    void fillSlotsForClone()
    {
        sourceDevice = std::make_unique<DiskDevice>();
        destinationDevice = std::make_unique<DiskDevice>();
        ASSERT_TRUE(openDevice(*sourceDevice, sims.platform().devices(), "0", OpenMode::ReadOnly));
        ASSERT_TRUE(openDevice(*destinationDevice, sims.platform().devices(), "1", OpenMode::ReadWrite));
        currentJob = std::make_unique<CopyJob>();
        currentJob->endBytes = sourceDevice->endSector * sourceDevice->sectorSize;
        sourceName = "Disk Zero";
    }
};

TEST_F(ProgressWindowTest, ShowsTheSourceTheOperationAndEmptyClockTextsAtCreation)
{
    struct Shown {
        OperationKind kind;
        std::string source;
        const char* operation;
        const char* diskName;
    };
    makeDrives({simDrive(2048), simDrive(2048)});
    for (const Shown& shown : {Shown{OperationKind::Cloning, "Disk Zero", "Cloning", "Disk Zero"},
                               Shown{OperationKind::Imaging, "Disk Zero", "Imaging", "Disk Zero"},
                               Shown{OperationKind::Restore, files.file("saved.img"), "Restoring", "saved.img"}}) {
        SCOPED_TRACE(shown.operation);
        fillSlotsForClone();
        sourceName = shown.source;
        host->operation = shown.kind;
        CProgressWnd& window = host->show<CProgressWnd>();
        const ProgressTexts texts(window);

        EXPECT_EQ(texts.percent->text(), "0%");
        EXPECT_EQ(texts.bar->value(), 0);
        EXPECT_EQ(texts.start->text(), "");
        EXPECT_EQ(texts.elapsed->text(), "");
        EXPECT_EQ(texts.copied->text(), "");
        EXPECT_EQ(texts.total->text(), "2048");
        EXPECT_EQ(texts.diskName->text(), shown.diskName);
        EXPECT_EQ(texts.operation->text(), shown.operation);

        window.refreshClock();
        EXPECT_THAT(texts.start->text().toStdString(), MatchesRegex("[0-9][0-9]:[0-5][0-9]:[0-5][0-9]"));
        EXPECT_THAT(texts.elapsed->text().toStdString(), MatchesRegex("00:00:0[0-9]"));
        EXPECT_THAT(texts.copied->text().toStdString(), MatchesRegex("[0-9]+"));

        ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
        host->closePanel();
    }
}

TEST_F(ProgressWindowTest, PercentageChangesOnlyWhenItsWholeNumberDoes)
{
    makeDrives({});
    CProgressWnd& window = host->show<CProgressWnd>();
    // With empty slots the worker ends at once; the job below is the test's.
    ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
    const ProgressTexts texts(window);
    currentJob = std::make_unique<CopyJob>();
    currentJob->endBytes = 1000;

    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "0%");
    EXPECT_EQ(texts.bar->value(), 0);

    currentJob->positionBytes = 375;
    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "37 %");
    EXPECT_EQ(texts.bar->value(), 37);

    currentJob->positionBytes = 379;
    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "37 %");
    EXPECT_EQ(texts.bar->value(), 37);

    currentJob->positionBytes = 1000;
    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "100 %");
    EXPECT_EQ(texts.bar->value(), 100);
}

TEST_F(ProgressWindowTest, VerificationShowsVerifyingAndCountsItsOwnBytesFromNothing)
{
    makeDrives({});
    host->operation = OperationKind::Restore;
    CProgressWnd& window = host->show<CProgressWnd>();
    ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
    const ProgressTexts texts(window);
    currentJob = std::make_unique<CopyJob>();
    currentJob->positionBytes = 1000;
    currentJob->endBytes = 1000;
    window.refreshPercentage();

    // As the worker starts the verification: the phase, then the count anew.
    currentJob->phase = JobPhase::Verifying;
    currentJob->positionBytes = 0;
    currentJob->endBytes = 4000;
    window.refreshPercentage();
    EXPECT_EQ(texts.operation->text(), "Verifying");
    EXPECT_EQ(texts.percent->text(), "0 %");
    EXPECT_EQ(texts.bar->value(), 0);

    currentJob->positionBytes = 1000;
    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "25 %");
    EXPECT_EQ(texts.bar->value(), 25);
}

TEST_F(ProgressWindowTest, ShowsSpeedAndTimeLeftOnceTicksMeasureThemAndSaysWhenBadSectorsAreRead)
{
    makeDrives({});
    CProgressWnd& window = host->show<CProgressWnd>();
    ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
    const CXStatic& speed = *findControl<CXStatic>(window, CProgressWnd::kSpeedTextId);
    const CXStatic& timeLeft = *findControl<CXStatic>(window, CProgressWnd::kTimeLeftTextId);
    constexpr std::uint64_t kMiB = 1024 * 1024;
    currentJob = std::make_unique<CopyJob>();
    currentJob->endBytes = 100 * kMiB;

    window.refreshClock();
    EXPECT_EQ(speed.text(), "");
    EXPECT_EQ(timeLeft.text(), "");

    for (const std::uint64_t position : {10 * kMiB, 20 * kMiB}) {
        currentJob->positionBytes = position;
        window.refreshClock();
    }
    EXPECT_EQ(speed.text(), "10.00 MB/s");
    EXPECT_EQ(timeLeft.text(), "00:00:08");

    currentJob->readingBadSectors = true;
    currentJob->positionBytes = 21 * kMiB;
    window.refreshClock();
    EXPECT_EQ(timeLeft.text(), "reading bad sectors");
    EXPECT_EQ(speed.text(), "7.00 MB/s");
}

TEST_F(ProgressWindowTest, AJobWithNothingToCopyEndsAtAHundredPercent)
{
    makeDrives({});
    CProgressWnd& window = host->show<CProgressWnd>();
    ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
    currentJob = std::make_unique<CopyJob>();
    currentJob->endBytes = 0;

    window.stopClock();

    const ProgressTexts texts(window);
    EXPECT_EQ(texts.percent->text(), "100 %");
    EXPECT_EQ(texts.bar->value(), 100);
}

TEST_F(ProgressWindowTest, ARetryStartsThePercentageAndTheClockAgainAsTheOperationItIs)
{
    makeDrives({});
    host->operation = OperationKind::Cloning;
    CProgressWnd& window = host->show<CProgressWnd>();
    ASSERT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
    const ProgressTexts texts(window);
    currentJob = std::make_unique<CopyJob>();
    currentJob->phase = JobPhase::Verifying;
    currentJob->positionBytes = 1000;
    currentJob->endBytes = 1000;
    window.stopClock();
    ASSERT_EQ(texts.operation->text(), "Verifying");

    window.restartProgress();
    EXPECT_EQ(texts.operation->text(), "Cloning");
    EXPECT_EQ(texts.percent->text(), "0%");
    EXPECT_EQ(texts.bar->value(), 0);
    EXPECT_THAT(texts.elapsed->text().toStdString(), MatchesRegex("00:00:0[01]"));
    EXPECT_TRUE(waitUntil([&texts] { return texts.elapsed->text() == "00:00:02"; })) << "the clock did not tick again";

    currentJob->phase = JobPhase::Copying;
    currentJob->positionBytes = 500;
    window.refreshPercentage();
    EXPECT_EQ(texts.percent->text(), "50 %");
    EXPECT_EQ(texts.bar->value(), 50);
}

// Message boxes answered from a script, each noting whether it was shown on
// the GUI thread.
class ThreadCheckingBoxes : public MessageBoxService {
public:
    explicit ThreadCheckingBoxes(std::vector<MessageAnswer> answers) : script_(std::move(answers)) {}

    MessageAnswer show(const MessageRequest& request) override
    {
        const std::lock_guard lock(mutex_);
        onGuiThread_.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        return script_.show(request);
    }

    std::vector<bool> onGuiThread() const
    {
        const std::lock_guard lock(mutex_);
        return onGuiThread_;
    }
    std::vector<std::string> asked() const { return describe(script_.requests()); }

private:
    mutable std::mutex mutex_;
    ScriptedMessageBox script_;
    std::vector<bool> onGuiThread_;
};

// A whole clone of two full blocks and a tail, started from the cloning
// panel; the operator presses Cancel when the bar first moves, with the
// worker waiting for that report to be shown.
class ProgressCancel : public ProgressWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ProgressCancel, CancelPausesAsksAndStopsTheCopyOnlyOnYes)
{
    const bool cancel = GetParam();
    const SimDriveSetup source = patternedDrive(2 * 65536 + 8);
    SimPlatform& platform = makeDrives({source, simDrive(2 * 65536 + 8)});
    ThreadCheckingBoxes boxesOnThreads(
        {MessageAnswer::Yes, cancel ? MessageAnswer::Yes : MessageAnswer::No, MessageAnswer::Ok});
    host->useMessageBoxes(boxesOnThreads);
    host->switchesPanels = true;
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();

    findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
    auto* window = qobject_cast<CProgressWnd*>(host->currentPanel());
    ASSERT_NE(window, nullptr) << "Next did not lead to the progress window";
    int cancelsPressed = 0;
    QObject::connect(window->findChild<QProgressBar*>(), &QProgressBar::valueChanged, window, [&] {
        if (cancelsPressed++ == 0)
            findControl<COrvelButton>(*window, CProgressWnd::kCancelId)->click();
    });
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(boxesOnThreads.asked(), (std::vector<std::string>{kConfirmClone, kCancelQuestion, kCompleted}));
    EXPECT_THAT(boxesOnThreads.onGuiThread(), ElementsAre(true, true, true));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    const std::string log = fileText(host->openedUrls().front().toLocalFile().toStdString());
    const bool copied = fileHead(platform.simulatedDrive(1).backingPath(), source.sizeBytes) ==
                        fileHead(source.imagePath, source.sizeBytes);
    if (cancel) {
        EXPECT_THAT(log, HasSubstr("Operation Cancelled."));
        EXPECT_FALSE(copied) << "the copy went on after the cancel was confirmed";
    } else {
        EXPECT_THAT(log, HasSubstr("Operation successfully completed."));
        EXPECT_TRUE(copied) << "a cancel answered No changed the copy";
    }
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_EQ(currentJob, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Answers, ProgressCancel, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Yes" : "No"; });

// Message boxes answered by a function, on the GUI thread.
class AnsweringBoxes : public MessageBoxService {
public:
    explicit AnsweringBoxes(std::function<MessageAnswer(const MessageRequest&)> answer) : answer_(std::move(answer))
    {
    }

    MessageAnswer show(const MessageRequest& request) override
    {
        asked.push_back(describe(request));
        return answer_(request);
    }

    std::vector<std::string> asked;

private:
    std::function<MessageAnswer(const MessageRequest&)> answer_;
};

// Cancel pressed at the last progress report, after the copy loop's last
// check: the operation ends, the completion is answered and the host goes
// home while the question is still open. The late Yes must change nothing,
// whether the host deletes the window at once or later.
class ProgressLateCancel : public ProgressWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ProgressLateCancel, AYesAfterTheOperationWentHomeChangesNothing)
{
    const SimDriveSetup source = patternedDrive(2 * 65536 + 8);
    makeDrives({source, simDrive(2 * 65536 + 8)});
    AnsweringBoxes answers([this](const MessageRequest& request) {
        if (request.text.starts_with("Are you sure? Please press cancel")) {
            EXPECT_TRUE(waitUntil([this] { return host->messages.size() == 2; })) << "the operation never ended";
            return MessageAnswer::Yes;
        }
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    });
    host->useMessageBoxes(answers);
    host->switchesPanels = true;
    host->defersDeletion = GetParam();
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();
    findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
    auto* window = qobject_cast<CProgressWnd*>(host->currentPanel());
    ASSERT_NE(window, nullptr);
    COrvelButton* cancel = findControl<COrvelButton>(*window, CProgressWnd::kCancelId);
    QObject::connect(window->findChild<QProgressBar*>(), &QProgressBar::valueChanged, cancel, [cancel](int value) {
        // Pressed from the event loop, as the operator would.
        if (value == 100)
            QTimer::singleShot(0, cancel, &QAbstractButton::click);
    });

    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(answers.asked, (std::vector<std::string>{kConfirmClone, kCancelQuestion, kCompleted}));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    EXPECT_THAT(fileText(host->openedUrls().front().toLocalFile().toStdString()),
                HasSubstr("Operation successfully completed."));
    EXPECT_EQ(currentJob, nullptr);
}

INSTANTIATE_TEST_SUITE_P(HostDeletes, ProgressLateCancel, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "Later" : "AtOnce"; });

TEST_F(ProgressWindowTest, AWindowClosedWhileItsCopyRunsCancelsTheCopyAndShowsNothingMore)
{
    const SimDriveSetup source = patternedDrive(2 * 65536 + 8);
    makeDrives({source, simDrive(2 * 65536 + 8)});
    fillSlotsForClone();
    host->show<CProgressWnd>();

    // Closed before the worker's first report is handled.
    host->closePanel();
    OperationRun::finishLast();

    EXPECT_TRUE(asked().empty()) << "the abandoned operation still spoke to the operator";
    EXPECT_TRUE(host->messages.empty());
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_EQ(currentJob, nullptr);
}

} // namespace
} // namespace orvel::test
