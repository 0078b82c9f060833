#include "controls/orvel_button.h"
#include "engine/rescue_map.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/operation_run.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kContinueHalfDone = "Confirm | question | yes/no | A previous copy of this drive stopped at "
                                          "50 %. Continue it? (No starts again from the beginning.)";
constexpr std::uint64_t kSectors = 4096 + 2;
constexpr std::uint64_t kBytes = kSectors * 512;
constexpr std::uint64_t kHalf = kSectors / 2 * 512;

std::vector<char> part(const std::vector<char>& bytes, std::uint64_t from, std::uint64_t to)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.begin() + static_cast<std::ptrdiff_t>(to)};
}

// Drive 0 holds the pattern; an unfinished map in the log folder says an
// earlier whole copy of it onto drive 1 or into an image finished its first
// half and stopped.
class ContinueQuestionTest : public PanelTest {
protected:
    SimPlatform& makeSourceAndBlank()
    {
        source = patternedDrive(kSectors);
        source.serial = "SRC-1";
        SimDriveSetup blank = simDrive(kSectors);
        blank.model = "Blank";
        blank.serial = "DST-1";
        return makeDrives({source, blank});
    }

    void saveHalfDoneMap(const MappedDevice& destination)
    {
        MapHeader header;
        header.source = {MappedDevice::Kind::Drive, source.model, source.serial, kBytes, 512, ""};
        header.destination = destination;
        header.sectorCount = kSectors;
        RescueMap map(header);
        map.markSectors(0, kSectors / 2, MapStatus::Finished);
        ASSERT_TRUE(saveMap(map, mapPath()));
    }

    std::string mapPath() const { return logs.file("earlier.map"); }

    std::string openedLog() const { return fileText(host->openedUrls().front().toLocalFile().toStdString()); }

    SimDriveSetup source;
};

class ContinueClone : public ContinueQuestionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ContinueClone, NextAsksWithTheMapsShareYesCopiesOnlyWhatItLeftNoCopiesAll)
{
    const bool continues = GetParam();
    SimPlatform& platform = makeSourceAndBlank();
    saveHalfDoneMap({MappedDevice::Kind::Drive, "Blank", "DST-1", kBytes, 512, ""});
    host->switchesPanels = true;
    CCloningWnd& panel = showSetupPanel<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();
    script({MessageAnswer::Yes, continues ? MessageAnswer::Yes : MessageAnswer::No, MessageAnswer::Ok});

    findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(asked(), (std::vector<std::string>{kConfirmClone, kContinueHalfDone, kCompleted}));
    const std::vector<char> copied = fileHead(platform.simulatedDrive(1).backingPath(), kBytes);
    const std::vector<char> original = fileHead(source.imagePath, kBytes);
    ASSERT_EQ(copied.size(), kBytes);
    EXPECT_EQ(part(copied, kHalf, kBytes), part(original, kHalf, kBytes)) << "the unfinished half was not copied";
    const ParsedMap earlier = loadMap(mapPath());
    ASSERT_TRUE(earlier.map) << earlier.error;
    if (continues) {
        EXPECT_THAT(openedLog(), HasSubstr("Resumed from earlier.map"));
        EXPECT_EQ(part(copied, 0, kHalf), std::vector<char>(kHalf, 0))
            << "the half the map had finished was copied again";
        EXPECT_TRUE(earlier.map->finished()) << "the resumed run did not carry its map on";
    } else {
        EXPECT_THAT(openedLog(), Not(HasSubstr("Resumed")));
        EXPECT_EQ(part(copied, 0, kHalf), part(original, 0, kHalf)) << "starting again skipped the first half";
        EXPECT_FALSE(earlier.map->finished()) << "starting again wrote into the earlier map";
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ContinueClone, ::testing::Values(true, false),
                         [](const auto& test) { return test.param ? "Yes" : "No"; });

TEST_F(ContinueQuestionTest, AContinuedImagingKeepsTheImageItHadAndFillsInTheRest)
{
    makeSourceAndBlank();
    const std::string image = files.file("rescue.img");
    std::ofstream(image, std::ios::binary) << std::string(kBytes, '\0');
    saveHalfDoneMap({MappedDevice::Kind::ImageFile, "", "", 0, 0, image});
    host->switchesPanels = true;
    CImagingWnd& panel = showSetupPanel<CImagingWnd>();
    findControl<QComboBox>(panel, CImagingWnd::kSourceListId)->setCurrentIndex(0);
    panel.setSaveDialog([image](QWidget*) { return QString::fromStdString(image); });
    findControl<COrvelButton>(panel, CImagingWnd::kBrowseId)->click();
    script({MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Ok});

    findControl<COrvelButton>(panel, CImagingWnd::kNextId)->click();
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(asked(), (std::vector<std::string>{kConfirmImaging, kContinueHalfDone, kCompleted}));
    EXPECT_THAT(openedLog(), HasSubstr("Resumed from earlier.map"));
    const std::vector<char> imaged = fileHead(image, kBytes);
    const std::vector<char> original = fileHead(source.imagePath, kBytes);
    ASSERT_EQ(imaged.size(), kBytes);
    EXPECT_EQ(part(imaged, 0, kHalf), std::vector<char>(kHalf, 0)) << "the image was emptied or its first half copied";
    EXPECT_EQ(part(imaged, kHalf, kBytes), part(original, kHalf, kBytes));
}

} // namespace
} // namespace orvel::test
