// Renders the four operation panels on simulated drives to PNG files under
// the build folder (panel-pictures/), for a person to look at, and checks the
// colours that are part of their look.
#include "controls/orvel_button.h"
#include "controls/x_edit.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/operation_run.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/widget_pixels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace orvel::test {
namespace {

const QColor kGreen(140, 191, 63);
const QColor kFieldGrey(165, 165, 165);
const QColor kBlack(0, 0, 0);

QImage saved(QWidget& panel, const char* name)
{
    const QImage image = renderWidget(panel);
    const QString folder = QStringLiteral(ORVEL_BINARY_DIR "/panel-pictures");
    QDir().mkpath(folder);
    EXPECT_TRUE(image.save(folder + "/" + name + ".png")) << "cannot write " << name;
    return image;
}

SimDriveSetup namedDrive(const char* model, std::uint64_t sizeBytes, std::vector<SimVolumeSetup> volumes = {})
{
    SimDriveSetup setup = simDrive(0);
    setup.model = model;
    setup.sizeBytes = sizeBytes;
    setup.volumes = std::move(volumes);
    return setup;
}

class PanelPictures : public PanelTest {
protected:
    void makeMachine()
    {
        makeDrives({namedDrive("Samsung SSD 860 EVO 500GB", 500'107'862'016, {{"sda1", 2048, 976'771'072, false}}),
                    namedDrive("WDC WD10EZEX-08WN4A0", 1'000'204'886'016, {{"sdb1", 2048, 1'953'519'616, false}}),
                    namedDrive("SanDisk Cruzer Blade", 15'631'122'432)});
    }
};

TEST_F(PanelPictures, CloningPanel)
{
    makeMachine();
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    // Typed as the operator types, which clears each box's prompt state.
    QTest::keyClicks(findControl<CXEdit>(panel, CCloningWnd::kSourceStartFieldId), "0");
    QTest::keyClicks(findControl<CXEdit>(panel, CCloningWnd::kDestinationStartFieldId), "2048");
    QTest::keyClicks(findControl<CXEdit>(panel, CCloningWnd::kCountFieldId), "976771072");
    findControl<QRadioButton>(panel, CCloningWnd::kRetry3Id)->click();

    const QImage range = saved(panel, "cloning-panel");
    const int cx = panel.width();
    const int cy = panel.height();
    EXPECT_EQ(pixelAt(range, 250 + 190, 220 + 10), kFieldGrey) << "the count field is not grey";
    EXPECT_EQ(pixelAt(range, cx - 55 + 4, cy - 60 + 4), kGreen) << "Next is not green";
    EXPECT_EQ(pixelAt(range, cx - 110 + 4, cy - 60 + 4), kGreen) << "Back is not green";
    EXPECT_GT(countColour(range, kBlack, QRect(10, cy - 100, 400, 20)), 20) << "the note is missing";

    EXPECT_EQ(pixelAt(range, 50 + 140, 135 + 10), QColor(255, 255, 255)) << "the check box is not white";

    findControl<QCheckBox>(panel, CCloningWnd::kReverseBoxId)->click();
    const QImage reverse = saved(panel, "cloning-panel-reverse");
    EXPECT_EQ(pixelAt(reverse, 250 + 190, 190 + 10), kFieldGrey) << "a disabled field lost its grey";
}

TEST_F(PanelPictures, ImagingPanel)
{
    makeMachine();
    CImagingWnd& panel = showSetupPanel<CImagingWnd>();
    findControl<QComboBox>(panel, CImagingWnd::kSourceListId)->setCurrentIndex(2);
    panel.setSaveDialog([this](QWidget*) { return QString::fromStdString(files.file("usb-stick")); });
    findControl<COrvelButton>(panel, CImagingWnd::kBrowseId)->click();

    const QImage image = saved(panel, "imaging-panel");
    EXPECT_EQ(pixelAt(image, 200 + 290, 200 + 10), kFieldGrey) << "the path field is not grey";
    EXPECT_EQ(pixelAt(image, 520 + 3, 200 + 3), QColor(222, 220, 221)) << "the browse button's fill";
    EXPECT_EQ(pixelAt(image, panel.width() - 55 + 4, panel.height() - 60 + 4), kGreen);
}

TEST_F(PanelPictures, RestorePanel)
{
    makeMachine();
    CRestoreWnd& panel = showSetupPanel<CRestoreWnd>();
    panel.setOpenDialog([this](QWidget*) { return QString::fromStdString(files.file("usb-stick.img")); });
    findControl<COrvelButton>(panel, CRestoreWnd::kBrowseId)->click();
    findControl<QComboBox>(panel, CRestoreWnd::kDestinationListId)->setCurrentIndex(2);

    const QImage image = saved(panel, "restore-panel");
    EXPECT_EQ(pixelAt(image, 200 + 290, 150 + 10), kFieldGrey) << "the path field is not grey";
    EXPECT_EQ(pixelAt(image, 520 + 3, 150 + 3), QColor(222, 220, 221)) << "the browse button's fill";
    EXPECT_EQ(pixelAt(image, panel.width() - 55 + 4, panel.height() - 60 + 4), kGreen);
    EXPECT_GT(countColour(image, kBlack, QRect(10, panel.height() - 100, 400, 20)), 20) << "the note is missing";
}

TEST_F(PanelPictures, ProgressWindowWhileCopying)
{
    const SimDriveSetup source = patternedDrive(2 * 65536 + 8);
    makeDrives({source, simDrive(2 * 65536 + 8)});
    host->switchesPanels = true;
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();
    script({MessageAnswer::Yes, MessageAnswer::Ok});
    findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
    auto* window = qobject_cast<CProgressWnd*>(host->currentPanel());
    ASSERT_NE(window, nullptr);

    QImage image;
    QObject::connect(window->findChild<QProgressBar*>(), &QProgressBar::valueChanged, window, [&] {
        if (!image.isNull())
            return;
        window->refreshClock();
        image = saved(*window, "progress-window");
    });
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); }));
    OperationRun::finishLast();

    ASSERT_FALSE(image.isNull()) << "the bar never moved";
    EXPECT_EQ(pixelAt(image, image.width() - 55 + 4, image.height() - 60 + 4), kGreen) << "Cancel is not green";
    EXPECT_EQ(pixelAt(image, 5, 5), QColor(255, 255, 255)) << "the window is not white";
}

} // namespace
} // namespace orvel::test
