// The operator's most common round, home -> cloning -> progress -> home, many
// times over in one window: afterwards the process must hold no more
// descriptors, threads or heap than after the first round.
#include "controls/orvel_button.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/progress_wnd.h"
#include "shell/base_wnd.h"
#include "shell/main_frame.h"
#include "shell/splash_wnd.h"
#include "support/process_resources.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shell_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmapCache>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int kRounds = 50;
constexpr std::uint64_t kSectors = 2048 + 5;
// What Qt sets up once in later rounds (a few KiB were seen). A leaked panel,
// or a round's leaked operation records (two device records and the job),
// exceed it.
constexpr std::uint64_t kHeapSlackBytes = 16 * 1024;


// Says Yes to the confirmation and OK to the rest, keeping only what one
// round asked, so that the test's own records do not grow from round to round.
class RoundMessageBox : public MessageBoxService {
public:
    MessageAnswer show(const MessageRequest& request) override
    {
        const std::lock_guard lock(mutex_);
        asked_.push_back(test::describe(request));
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<std::string> takeAsked()
    {
        const std::lock_guard lock(mutex_);
        std::vector<std::string> asked = std::move(asked_);
        asked_.clear();
        return asked;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> asked_;
};

// Qt's style keeps the pixmaps it drew in a cache that grows to its limit
// (10 MiB) before it drops any; each new panel's fields have palettes of their
// own, so every round adds to it. That is Qt's memory, not the program's, so
// the cache is off while the rounds are measured.
class PixmapCacheOff {
public:
    PixmapCacheOff() : limit_(QPixmapCache::cacheLimit())
    {
        QPixmapCache::clear();
        QPixmapCache::setCacheLimit(0);
    }
    ~PixmapCacheOff() { QPixmapCache::setCacheLimit(limit_); }
    PixmapCacheOff(const PixmapCacheOff&) = delete;
    PixmapCacheOff& operator=(const PixmapCacheOff&) = delete;

private:
    const int limit_;
};

// The window keeps one platform; behind it every round gets fresh simulated
// drives, so that what the drives record of a round (each transfer) is gone
// with it and only the program's own holdings are measured.
class FreshDrivesPlatform : public Platform {
public:
    explicit FreshDrivesPlatform(std::vector<SimDriveSetup> drives) : drives_(std::move(drives)) { renew(); }

    // Between rounds only: no operation or inventory thread may use the old drives.
    void renew() { sims_.make(drives_); }

    DeviceAccess& devices() override { return sims_.platform().devices(); }
    DriveCatalog& drives() override { return sims_.platform().drives(); }
    SmartTransport& smart() override { return sims_.platform().smart(); }
    SystemServices& system() override { return sims_.platform().system(); }

private:
    std::vector<SimDriveSetup> drives_;
    test::SimPlatformFixture sims_;
};

class SoakRoundTest : public testing::Test {
protected:
    SoakRoundTest()
    {
        SimDriveSetup source = test::simDrive(kSectors);
        source.model = "Source Disk";
        SimDriveSetup destination = test::simDrive(kSectors);
        destination.model = "Destination Disk";
        platform = std::make_unique<FreshDrivesPlatform>(std::vector<SimDriveSetup>{source, destination});
        frame = std::make_unique<CMainFrame>(*platform, boxes, programPanels());
        frame->show();
    }

    ~SoakRoundTest() override
    {
        frame.reset();
        OperationRun::finishLast();
        releaseOperationSlots();
        ClearInventory();
    }

    CBaseWnd& host() { return *frame->host_; }

    template <typename P>
    P* shown()
    {
        return qobject_cast<P*>(host().currentPanel());
    }

    // Home -> cloning -> progress -> home: a whole-drive clone of drive 0 onto drive 1.
    void cloneRound()
    {
        CSplashWnd* home = shown<CSplashWnd>();
        ASSERT_NE(home, nullptr) << "the round does not start at home";
        QTest::mouseClick(home->cloningButton, Qt::LeftButton);
        CCloningWnd* cloning = shown<CCloningWnd>();
        ASSERT_NE(cloning, nullptr) << "the cloning button did not lead to the cloning panel";
        ASSERT_TRUE(test::waitUntil([&] { return cloning->listsFilled() && frame->isEnabled(); }))
            << "the drive lists were never filled";

        findControl<QComboBox>(*cloning, CCloningWnd::kSourceListId)->setCurrentIndex(0);
        findControl<QComboBox>(*cloning, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
        findControl<QCheckBox>(*cloning, CCloningWnd::kWholeAreaBoxId)->click();
        QTest::mouseClick(findControl<COrvelButton>(*cloning, CCloningWnd::kNextId), Qt::LeftButton);
        ASSERT_NE(shown<CProgressWnd>(), nullptr) << "Next did not lead to the progress window";

        ASSERT_TRUE(test::waitUntil([&] { return !opened.urls.empty(); })) << "the operation never ended";
        OperationRun::finishLast();
        test::deleteReleasedPanels();
        EXPECT_NE(shown<CSplashWnd>(), nullptr) << "the end of the operation did not lead home";
        EXPECT_EQ(test::childPanels(host()).size(), 1) << "the host keeps panels of earlier rounds";
        EXPECT_THAT(boxes.takeAsked(), ElementsAre(test::kConfirmClone, test::kCompleted));

        const std::string log = opened.urls.front().toLocalFile().toStdString();
        opened.urls.clear();
        EXPECT_THAT(test::fileText(log), HasSubstr("Operation successfully completed."));
        std::filesystem::remove(log);
        EXPECT_EQ(sourceDevice, nullptr);
        EXPECT_EQ(destinationDevice, nullptr);
        EXPECT_EQ(currentJob, nullptr);
        EXPECT_TRUE(physicalDrives.empty()) << "the inventory outlived the cloning panel";
    }

    PixmapCacheOff pixmapCacheOff;
    std::unique_ptr<FreshDrivesPlatform> platform;
    RoundMessageBox boxes;
    test::OpenedFiles opened;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(SoakRoundTest, FiftyCloneRoundsHoldNoMoreThanTheFirst)
{
    test::ProcessResources afterFirst;
    qsizetype widgetsAfterFirst = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NO_FATAL_FAILURE(cloneRound());
        platform->renew();
        if (round == 0) {
            widgetsAfterFirst = QApplication::allWidgets().size();
            afterFirst = test::currentResources();
        }
    }
    const test::ProcessResources afterAll = test::currentResources();

    EXPECT_EQ(QApplication::allWidgets().size(), widgetsAfterFirst) << "widgets of earlier rounds are still alive";
    EXPECT_TRUE(test::holdsNoMoreThan(afterAll, afterFirst, kHeapSlackBytes));
    RecordProperty("descriptors", std::to_string(afterFirst.openFiles.size()) + " -> " +
                                      std::to_string(afterAll.openFiles.size()));
    RecordProperty("threads", std::to_string(afterFirst.threads) + " -> " + std::to_string(afterAll.threads));
    RecordProperty("heap_bytes", std::to_string(afterFirst.heapBytes) + " -> " + std::to_string(afterAll.heapBytes));
}

} // namespace
} // namespace orvel
