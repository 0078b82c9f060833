#include "controls/orvel_button.h"
#include "controls/x_edit.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "tests/gui/panel_test_support.h"
#include "tests/gui/shown_messages.h"

#include <QComboBox>
#include <QUrl>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

using Panel = CImagingWnd;

constexpr const char* kNoSpace = "Information | information | ok | Insufficent Space. Please choose another drive.";
constexpr std::uint64_t kSourceBytes = 2048 * 512;

// Every folder has exactly the free space the test says; the rest is the
// simulated drives' own.
class FixedFreeSpaceAccess : public DeviceAccess {
public:
    FixedFreeSpaceAccess(DeviceAccess& inner, std::uint64_t freeBytes) : inner_(inner), freeBytes_(freeBytes) {}

    std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) override
    {
        return inner_.openPhysicalDrive(number, mode);
    }
    std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) override
    {
        return inner_.openVolume(name, mode);
    }
    std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) override
    {
        return inner_.createImageFile(path);
    }
    std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) override
    {
        return inner_.openImageFile(path);
    }
    std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) override
    {
        return inner_.continueImageFile(path);
    }
    std::optional<std::uint64_t> freeSpace(const std::string&) override { return freeBytes_; }

private:
    DeviceAccess& inner_;
    std::uint64_t freeBytes_;
};

class FixedFreeSpacePlatform : public Platform {
public:
    FixedFreeSpacePlatform(Platform& inner, std::uint64_t freeBytes)
        : inner_(inner), devices_(inner.devices(), freeBytes)
    {
    }

    DeviceAccess& devices() override { return devices_; }
    DriveCatalog& drives() override { return inner_.drives(); }
    SmartTransport& smart() override { return inner_.smart(); }
    SystemServices& system() override { return inner_.system(); }

private:
    Platform& inner_;
    FixedFreeSpaceAccess devices_;
};

QComboBox& sourceList(Panel& panel)
{
    return *findControl<QComboBox>(panel, Panel::kSourceListId);
}

CXEdit& pathField(Panel& panel)
{
    return *findControl<CXEdit>(panel, Panel::kPathFieldId);
}

void clickButton(Panel& panel, int id)
{
    findControl<COrvelButton>(panel, id)->click();
}

// Picks `path` in the save dialog.
void choosePath(Panel& panel, const std::string& path)
{
    panel.setSaveDialog([path](QWidget*) { return QString::fromStdString(path); });
    clickButton(panel, Panel::kBrowseId);
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}

class ImagingPanelTest : public PanelTest {
protected:
    // Drive 0 "Source" of 2048 sectors with the volume "source1", drive 1
    // "Other"; every folder has `freeBytes` free.
    Panel& showWithFreeSpace(std::uint64_t freeBytes)
    {
        SimDriveSetup source = simDrive(2048);
        source.model = "Source";
        source.volumes.push_back({"source1", 1024, 1024, false});
        SimDriveSetup other = simDrive(4096);
        other.model = "Other";
        sims.make({source, other});
        freeSpace = std::make_unique<FixedFreeSpacePlatform>(sims.platform(), freeBytes);
        makeHost(*freeSpace);
        return showSetupPanel<Panel>();
    }

    std::unique_ptr<FixedFreeSpacePlatform> freeSpace;
};

TEST_F(ImagingPanelTest, ListsDrivesThenVolumesAndTheSelectionNamesTheSource)
{
    Panel& panel = showWithFreeSpace(0);
    ASSERT_EQ(sourceList(panel).count(), 3);
    EXPECT_EQ(sourceList(panel).itemText(0).toStdString(), "Source:   \r\n(1024.00 KB)");
    EXPECT_EQ(sourceList(panel).itemText(1).toStdString(), "Other:   \r\n(2.00 MB)");
    EXPECT_EQ(sourceList(panel).itemText(2).toStdString(), "source1");
    EXPECT_EQ(sourceList(panel).currentIndex(), -1);

    sourceList(panel).setCurrentIndex(2);
    EXPECT_EQ(sourceName, "source1");
    sourceList(panel).setCurrentIndex(-1);
    EXPECT_EQ(sourceName, "source1");
}

class ImagingExtension : public ImagingPanelTest,
                         public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(ImagingExtension, TheChosenPathEndsInDotImgAndNothingIsCreatedYet)
{
    const auto [chosen, shown] = GetParam();
    Panel& panel = showWithFreeSpace(kSourceBytes);

    choosePath(panel, files.file(chosen));

    EXPECT_EQ(pathField(panel).text().toStdString(), files.file(shown));
    EXPECT_FALSE(pathField(panel).isEnabled());
    EXPECT_FALSE(std::filesystem::exists(files.file(shown))) << "the image file was made before Next";
    EXPECT_TRUE(asked().empty());
}

INSTANTIATE_TEST_SUITE_P(Examples, ImagingExtension,
                         ::testing::Values(std::pair{"backup", "backup.img"}, std::pair{"disk.img", "disk.img"},
                                           std::pair{"DISK.IMG", "DISK.IMG.img"},
                                           std::pair{"disk.im", "disk.im.img"}));

TEST_F(ImagingPanelTest, AnExistingImageIsReplacedOnlyAfterTheOperatorAgreesAndBackLeavesItAlone)
{
    Panel& panel = showWithFreeSpace(kSourceBytes);
    const std::string existing = files.file("backup.img");
    writeFile(existing, "keep me");
    const std::string question =
        "Confirm | question | yes/no | " + existing + " already exists.\nDo you want to replace it?";

    script({MessageAnswer::No});
    choosePath(panel, files.file("backup"));
    EXPECT_EQ(asked(), std::vector<std::string>{question});
    EXPECT_EQ(pathField(panel).text(), "");
    EXPECT_TRUE(pathField(panel).isEnabled());

    script({MessageAnswer::Yes});
    choosePath(panel, files.file("backup"));
    EXPECT_EQ(asked(), std::vector<std::string>{question});
    EXPECT_EQ(pathField(panel).text().toStdString(), existing);

    clickButton(panel, Panel::kBackId);
    EXPECT_THAT(host->messages, ElementsAre(WM_SHOW_HOME));
    EXPECT_TRUE(physicalDrives.empty()) << "Back kept the inventory";
    EXPECT_EQ(fileText(existing), "keep me") << "the existing file was touched without a confirmed Next";
}

struct SpaceCase {
    const char* name;
    std::uint64_t freeBytes;
    std::uint64_t replacedFileBytes;  // an existing file at the chosen path
    std::vector<std::string> asked;
};

std::ostream& operator<<(std::ostream& out, const SpaceCase& space)
{
    return out << space.name;
}

class ImagingSpace : public ImagingPanelTest, public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(ImagingSpace, TheSourceMustFitInTheFreeSpaceOfTheChosenPlace)
{
    const SpaceCase& space = GetParam();
    Panel& panel = showWithFreeSpace(space.freeBytes);
    const std::string path = files.file("disk.img");
    if (space.replacedFileBytes > 0)
        writeFile(path, std::string(space.replacedFileBytes, 'x'));
    sourceList(panel).setCurrentIndex(0);
    choosePath(panel, path);
    EXPECT_EQ(panel.destinationFreeBytes(), space.freeBytes + space.replacedFileBytes);

    clickButton(panel, Panel::kNextId);

    EXPECT_EQ(asked(), space.asked);
    EXPECT_TRUE(host->messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ImagingSpace,
    ::testing::Values(SpaceCase{"ExactlyTheFreeBytes", kSourceBytes, 0, {kConfirmImaging}},
                      SpaceCase{"OneByteMore", kSourceBytes - 1, 0, {kNoSpace}},
                      SpaceCase{"ReplacedFileGivesItsRoomBack", kSourceBytes - 100, 100, {kConfirmImaging}}),
    [](const auto& test) { return std::string(test.param.name); });

struct ImagingRefusal {
    const char* name;
    std::function<void(SimPlatform&, Panel&, const TempDir&)> setUp;
    std::vector<MessageAnswer> answers;
    std::vector<std::string> asked;
};

std::ostream& operator<<(std::ostream& out, const ImagingRefusal& refusal)
{
    return out << refusal.name;
}

class ImagingRefused : public ImagingPanelTest, public ::testing::WithParamInterface<ImagingRefusal> {};

std::string information(const char* text)
{
    return std::string("Information | information | ok | ") + text;
}

std::string error(const char* text)
{
    return std::string("Error | error | ok | ") + text;
}

const ImagingRefusal kRefusals[] = {
    {"NoSource",
     [](SimPlatform&, Panel& panel, const TempDir& files) { choosePath(panel, files.file("disk.img")); },
     {},
     {information("Please select a drive.")}},
    {"NoPath",
     [](SimPlatform&, Panel& panel, const TempDir&) { sourceList(panel).setCurrentIndex(0); },
     {},
     {information("Please select a destination path.")}},
    {"TypedPathHasNoMeasuredSpace",
     [](SimPlatform&, Panel& panel, const TempDir& files) {
         sourceList(panel).setCurrentIndex(0);
         pathField(panel).setText(QString::fromStdString(files.file("typed.img")));
     },
     {},
     {kNoSpace}},
    {"NotConfirmed",
     [](SimPlatform&, Panel& panel, const TempDir& files) {
         sourceList(panel).setCurrentIndex(0);
         choosePath(panel, files.file("disk.img"));
     },
     {MessageAnswer::No},
     {kConfirmImaging}},
    {"SourceGone",
     [](SimPlatform& sims, Panel& panel, const TempDir& files) {
         sourceList(panel).setCurrentIndex(0);
         choosePath(panel, files.file("disk.img"));
         sims.simulatedDrive(0).disappear();
     },
     {MessageAnswer::Yes},
     {kConfirmImaging, error("Failed to open source disk.")}},
    {"ImageCannotBeCreated",
     [](SimPlatform&, Panel& panel, const TempDir& files) {
         sourceList(panel).setCurrentIndex(0);
         choosePath(panel, files.file("missing-folder/disk.img"));
     },
     {MessageAnswer::Yes},
     {kConfirmImaging, error("Failed to create image file.")}},
};

TEST_P(ImagingRefused, StopsWithItsMessageCreatesNoImageAndLeavesNothingOpen)
{
    Panel& panel = showWithFreeSpace(kSourceBytes);
    GetParam().setUp(sims.platform(), panel, files);
    script(GetParam().answers);

    clickButton(panel, Panel::kNextId);

    EXPECT_EQ(asked(), GetParam().asked);
    EXPECT_TRUE(host->messages.empty()) << "the operation was started";
    EXPECT_FALSE(std::filesystem::exists(files.file("disk.img"))) << "an image was made for a refused Next";
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_EQ(destinationDevice, nullptr);
    EXPECT_EQ(currentJob, nullptr);
}

INSTANTIATE_TEST_SUITE_P(InTheOrderNextChecks, ImagingRefused, ::testing::ValuesIn(kRefusals),
                         [](const auto& test) { return std::string(test.param.name); });

class ImagingSetUp : public PanelTest, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(ImagingSetUp, NextCreatesTheImageAndAJobOverTheWholeSourceInItsOwnSectors)
{
    const std::uint32_t sectorSize = GetParam();
    SimDriveSetup source = simDrive(300, sectorSize);
    source.model = "Source";
    makeDrives({source});
    host->forward = false;
    Panel& panel = showSetupPanel<Panel>();
    const std::string path = files.file("disk.img");
    writeFile(path, "old image");
    sourceList(panel).setCurrentIndex(0);
    choosePath(panel, path);
    script({MessageAnswer::Yes});

    clickButton(panel, Panel::kNextId);

    EXPECT_EQ(asked(), std::vector<std::string>{kConfirmImaging});
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START));
    EXPECT_FALSE(host->forward) << "imaging changed the direction the last clone chose";
    ASSERT_NE(sourceDevice, nullptr);
    ASSERT_NE(destinationDevice, nullptr);
    ASSERT_NE(currentJob, nullptr);
    EXPECT_EQ(sourceDevice->startSector, 0u);
    EXPECT_EQ(sourceDevice->endSector, 300u);
    EXPECT_EQ(sourceDevice->retryCount, 5);
    EXPECT_NE(destinationDevice->handle, nullptr);
    EXPECT_EQ(destinationDevice->kind, DeviceKind::ImageFile);
    EXPECT_EQ(destinationDevice->startSector, 0u);
    EXPECT_EQ(currentJob->state, JobState::Running);
    EXPECT_EQ(currentJob->positionBytes, 0u);
    EXPECT_EQ(currentJob->endBytes, 300u * sectorSize);
    EXPECT_EQ(destinationName, path);
    EXPECT_EQ(std::filesystem::file_size(path), 0u) << "the confirmed image was not emptied";
}

INSTANTIATE_TEST_SUITE_P(SectorSizes, ImagingSetUp, ::testing::Values(512u, 4096u));

TEST_F(PanelTest, WholeImagingCopiesEveryByteTellsTheOperatorGoesHomeAndEmptiesTheSlots)
{
    const SimDriveSetup source = patternedDrive(4096 + 5, 4096);
    makeDrives({source});
    host->switchesPanels = true;
    Panel& panel = showSetupPanel<Panel>();
    const std::string path = files.file("whole.img");
    sourceList(panel).setCurrentIndex(0);
    choosePath(panel, path);
    script({MessageAnswer::Yes, MessageAnswer::Ok});

    clickButton(panel, Panel::kNextId);
    ASSERT_TRUE(waitUntil([this] { return !host->openedUrls().empty(); })) << "the log was never opened";
    OperationRun::finishLast();

    EXPECT_EQ(asked(), (std::vector<std::string>{kConfirmImaging, kCompleted}));
    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START, WM_SHOW_HOME));
    EXPECT_EQ(std::filesystem::file_size(path), source.sizeBytes);
    EXPECT_EQ(fileHead(path, source.sizeBytes), fileHead(source.imagePath, source.sizeBytes))
        << "the image does not hold the source's bytes";
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_EQ(destinationDevice, nullptr);
    EXPECT_EQ(currentJob, nullptr);
    EXPECT_THAT(fileText(host->openedUrls().front().toLocalFile().toStdString()),
                HasSubstr("Operation successfully completed."));
}

} // namespace
} // namespace orvel::test
