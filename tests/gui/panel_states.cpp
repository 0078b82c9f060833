#include "tests/gui/panel_states.h"

#include "engine/copy_job.h"
#include "engine/disk_device.h"
#include "engine/operation_slots.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"
#include "shell/splash_wnd.h"

#include <QCheckBox>
#include <QPushButton>

namespace orvel::test {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

enum class Stage { Running, ReadingBadSectors, Verifying, Completed };

} // namespace

// Brings each panel into its state; a friend of PanelStates for its session.
struct PanelStateMakers {
    static QWidget& home(PanelStates& test)
    {
        test.makeDrives({});
        CSplashWnd& home = test.host->show<CSplashWnd>();
        home.OnCreate();
        return home;
    }

    template <typename P>
    static P& setUp(PanelStates& test)
    {
        test.makeDrives({simDrive(2048), simDrive(4096)});
        return test.showSetupPanel<P>();
    }

    template <int BoxId>
    static QWidget& cloningWithBox(PanelStates& test)
    {
        CCloningWnd& panel = setUp<CCloningWnd>(test);
        findControl<QCheckBox>(panel, BoxId)->click();
        return panel;
    }

    static QWidget& imagingWithPath(PanelStates& test)
    {
        CImagingWnd& panel = setUp<CImagingWnd>(test);
        const QString path = QString::fromStdString(test.files.file("a-rather-long-image-name-2024.img"));
        panel.setSaveDialog([path](QWidget*) { return path; });
        findControl<QPushButton>(panel, CImagingWnd::kBrowseId)->click();
        return panel;
    }

    static QWidget& health(PanelStates& test, bool driveSelected)
    {
        test.health_ = std::make_unique<HealthPanelSession>(std::vector<SimDriveSetup>{
            smartDrive("ABC XY1000QZ-00RS ATA Device", {{194, 100, 100, 0, {0x2D, 0, 0x12, 0, 0x37, 0}}}),
            plainDrive("Maker SSD 850 EVO 250GB", 250059350016)});
        EXPECT_TRUE(test.health_->ready());
        if (driveSelected)
            test.health_->clickDrive("0");
        return test.health_->panel();
    }

    // A progress window of a long operation on a large drive, at `stage`:
    // its worker (on empty slots) is done, the job and counts are the test's.
    static QWidget& progress(PanelStates& test, OperationKind kind, Stage stage)
    {
        test.makeDrives({});
        test.host->operation = kind;
        sourceName = kind == OperationKind::Restore ? test.files.file("laptop-backup-2024-05-17.img")
                                                    : "ABC XY1000QZ-00RS ATA Device";
        CProgressWnd& window = test.host->show<CProgressWnd>();
        EXPECT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
        sourceDevice = std::make_unique<DiskDevice>();
        sourceDevice->endSector = 31251759104;  // 16 TB
        currentJob = std::make_unique<CopyJob>();
        currentJob->endBytes = sourceDevice->endSector * 512;
        if (stage == Stage::Verifying)
            currentJob->phase = JobPhase::Verifying;
        for (const std::uint64_t position : {0 * kMiB, 1500 * kMiB, 3000 * kMiB}) {
            currentJob->positionBytes = position;
            sourceDevice->sectorsCopied = position / 512;
            window.refreshClock();
        }
        currentJob->readingBadSectors = stage == Stage::ReadingBadSectors;
        window.refreshClock();
        window.refreshPercentage();
        if (stage == Stage::Completed) {
            currentJob->positionBytes = currentJob->endBytes.load();
            window.stopClock();
        }
        return window;
    }
};

const std::vector<PanelState>& PanelStates::all()
{
    using M = PanelStateMakers;
    static const std::vector<PanelState> states = {
        {"Home", M::home},
        {"CloningRange", [](PanelStates& t) -> QWidget& { return M::setUp<CCloningWnd>(t); }},
        {"CloningWholeArea", M::cloningWithBox<CCloningWnd::kWholeAreaBoxId>},
        {"CloningReverse", M::cloningWithBox<CCloningWnd::kReverseBoxId>},
        {"Imaging", [](PanelStates& t) -> QWidget& { return M::setUp<CImagingWnd>(t); }},
        {"ImagingPathChosen", M::imagingWithPath},
        {"Restore", [](PanelStates& t) -> QWidget& { return M::setUp<CRestoreWnd>(t); }},
        {"HealthNoDriveSelected", [](PanelStates& t) -> QWidget& { return M::health(t, false); }},
        {"HealthDriveSelected", [](PanelStates& t) -> QWidget& { return M::health(t, true); }},
        {"ProgressCloning", [](PanelStates& t) -> QWidget& { return M::progress(t, OperationKind::Cloning, Stage::Running); }},
        {"ProgressImagingBadSectors",
         [](PanelStates& t) -> QWidget& { return M::progress(t, OperationKind::Imaging, Stage::ReadingBadSectors); }},
        {"ProgressVerifying", [](PanelStates& t) -> QWidget& { return M::progress(t, OperationKind::Cloning, Stage::Verifying); }},
        {"ProgressRestoreCompleted",
         [](PanelStates& t) -> QWidget& { return M::progress(t, OperationKind::Restore, Stage::Completed); }},
    };
    return states;
}

void PanelStates::TearDown()
{
    health_.reset();
    PanelTest::TearDown();
}

} // namespace orvel::test
