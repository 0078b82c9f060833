#include "controls/orvel_button.h"
#include "controls/x_static.h"
#include "engine/operation_slots.h"
#include "panels/control_id.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"
#include "tests/gui/panel_test_support.h"

#include <QComboBox>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

using Panel = CRestoreWnd;

constexpr std::uint64_t kVolumeStart = 2048;  // sectors of 512 bytes
constexpr std::uint64_t kImageBytes = 1000 * 512;

void chooseImage(Panel& panel, const std::string& path)
{
    panel.setOpenDialog([path](QWidget*) { return QString::fromStdString(path); });
    findControl<COrvelButton>(panel, Panel::kBrowseId)->click();
}

void clickNext(Panel& panel)
{
    findControl<COrvelButton>(panel, Panel::kNextId)->click();
}

QString operationShown(const CProgressWnd& window)
{
    for (const CXStatic* label : window.findChildren<CXStatic*>(Qt::FindDirectChildrenOnly))
        if (label->geometry().topLeft() == QPoint(160, 30))
            return label->text();
    return {};
}

TEST_F(PanelTest, RestoreChecksItsChoicesInOrderThenWritesTheImageOntoTheVolumeAndGoesHome)
{
    SimDriveSetup target = patternedDrive(4096);
    target.model = "Target";
    target.volumes.push_back({"target1", kVolumeStart, 2048, true});
    SimPlatform& platform = makeDrives({target});
    host->switchesPanels = true;
    Panel& panel = showSetupPanel<Panel>();
    const std::string image = files.file("saved.img");
    // The pattern from offset 0 differs from the drive's own at the volume.
    writePatternImage(image, kImageBytes);
    const std::vector<char> targetBefore = fileHead(target.imagePath, target.sizeBytes);
    script({MessageAnswer::Ok, MessageAnswer::Ok, MessageAnswer::Ok, MessageAnswer::Yes, MessageAnswer::Ok});

    clickNext(panel);
    chooseImage(panel, files.file("missing.img"));
    clickNext(panel);
    chooseImage(panel, image);
    clickNext(panel);
    EXPECT_TRUE(host->messages.empty()) << "a refused Next started the restore";
    findControl<QComboBox>(panel, Panel::kDestinationListId)->setCurrentIndex(1);
    clickNext(panel);

    auto* window = qobject_cast<CProgressWnd*>(host->currentPanel());
    ASSERT_NE(window, nullptr) << "the confirmed restore showed no progress window";
    EXPECT_EQ(operationShown(*window), "Restoring");
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(asked(), (std::vector<std::string>{
                           "Information | information | ok | Please select an image file.",
                           "Error | error | ok | Failed to open image file.",
                           "Information | information | ok | Please select a destination drive.",
                           "Confirm | question | yes/no | Are you sure for selected image file and destination drive ?",
                           "Orvel Disk Image | information | ok | Operation is completed.",
                       }));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    EXPECT_FALSE(platform.simulatedDrive(0).isVolumeMounted(0)) << "the volume was written while mounted";
    const std::string log = fileText(host->openedUrls().front().toLocalFile().toStdString());
    EXPECT_THAT(log, HasSubstr(image + " --------> target1"));
    // The box was left ticked: the restore was read back.
    EXPECT_THAT(log, EndsWith("Verification passed.\r\n"));

    std::vector<char> expected = targetBefore;
    const std::vector<char> imageBytes = fileHead(image, kImageBytes);
    std::copy(imageBytes.begin(), imageBytes.end(), expected.begin() + kVolumeStart * 512);
    EXPECT_TRUE(fileHead(target.imagePath, target.sizeBytes) == expected)
        << "the drive does not hold the image at the volume's start, the rest untouched";
    EXPECT_EQ(currentJob, nullptr);
}

} // namespace
} // namespace orvel::test
