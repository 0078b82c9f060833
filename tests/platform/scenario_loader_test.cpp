#include "platform/aligned_buffer.h"
#include "platform/sim/scenario_loader.h"
#include "platform/sim/scenario_location.h"
#include "platform/sim/scenario_platform.h"
#include "support/sim_system_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace orvel {
namespace {

namespace fs = std::filesystem;

class ScenarioLoaderTest : public ::testing::Test {
protected:
    fs::path root() const { return temp.path(); }

    // Writes `content` to `relative` in the scenario folder, making folders.
    fs::path put(const fs::path& relative, const std::string& content) const
    {
        // In the system's own spelling, as the loader names files.
        const fs::path file = (root() / "scenario" / relative).make_preferred();
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

    ScenarioLoad load() const { return loadScenario(root() / "scenario"); }

    test::TempDir temp;
};

struct MalformedCase {
    const char* name;
    const char* ini;
    int line;
    const char* problem;
};

class MalformedDriveIniTest : public ScenarioLoaderTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedDriveIniTest, IsRefusedWithFileAndLine)
{
    put("a/drive.ini", "model = Fine\nsize = 1 MiB\nvolumes = va:0:1\n");
    const fs::path ini = put("b/drive.ini", GetParam().ini);

    const ScenarioLoad result = load();
    const std::string where = ini.string() + ":" + std::to_string(GetParam().line) + ": ";
    EXPECT_TRUE(result.drives.empty()) << "nothing of a refused scenario is used";
    EXPECT_TRUE(result.error.starts_with(where)) << result.error;
    EXPECT_NE(result.error.find(GetParam().problem), std::string::npos) << result.error;
    EXPECT_EQ(result.error.find('\n'), std::string::npos) << "one message: " << result.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedDriveIniTest,
    ::testing::Values(
        MalformedCase{"UnknownKey", "model = X\n# comment\nmodle = Y\nsize = 4096\n", 3, "unknown key \"modle\""},
        MalformedCase{"NoEquals", "model = X\nsize 4096\n", 2, "key = value"},
        MalformedCase{"KeyTwice", "model = X\nsize = 4096\r\nmodel = Y\n", 3, "first on line 1"},
        MalformedCase{"BadSize", "model = X\nsize = 12x\n", 2, "\"12x\""},
        MalformedCase{"UnknownUnit", "model = X\nsize = 1 GB\n", 2, "\"1 GB\""},
        MalformedCase{"SizeOverflows", "model = X\nsize = 99999999999 TiB\n", 2, "not a byte count"},
        MalformedCase{"NegativeSize", "model = X\nsize = -512\n", 2, "not a byte count"},
        MalformedCase{"PartialSector", "model = X\nsectorSize = 4096\nsize = 6144\n", 3, "4096-byte sectors"},
        MalformedCase{"SectorSize", "model = X\nsize = 4096\nsectorSize = 1024\n", 3, "512 or 4096"},
        MalformedCase{"Interface", "model = X\nsize = 4096\ninterface = usb\n", 3, "IDE, SCSI or USB"},
        MalformedCase{"BadSectorNumber", "model = X\nsize = 4096\nbadSectors = 1, two\n", 3, "\"two\""},
        MalformedCase{"BadSectorRangeBackwards", "model = X\nsize = 4096\nbadSectors = 6-3\n", 3, "\"6-3\""},
        MalformedCase{"BadSectorPastEnd", "model = X\nbadSectors = 2, 7-8\nsize = 4096\n", 2, "past the drive's last sector 7"},
        MalformedCase{"VolumePastEnd", "model = X\nsize = 4096\nvolumes = v1:0:4; v2:4:5\n", 3, "\"v2\" ends past"},
        MalformedCase{"VolumeFields", "model = X\nsize = 4096\nvolumes = v1:0\n", 3, "name:startSector:sectorCount"},
        MalformedCase{"VolumeEmpty", "model = X\nsize = 4096\nvolumes = v1:0:0\n", 3, "count above 0"},
        MalformedCase{"VolumeNameLikeDriveNumber", "model = X\nsize = 4096\nvolumes = 1p1:0:1\n", 3, "start with a letter"},
        MalformedCase{"VolumeNameWithSlash", "model = X\nsize = 4096\nvolumes = ../x:0:1\n", 3, "start with a letter"},
        MalformedCase{"VolumeTwiceInDrive", "model = X\nsize = 4096\nvolumes = v:0:1;v:1:1\n", 3, "used twice"},
        MalformedCase{"VolumeOfOtherDrive", "model = X\nsize = 4096\n\nvolumes = va:0:1\n", 4, "already used in"},
        MalformedCase{"MissingImage", "model = X\nimage = nowhere.img\n", 2, "is not a file"},
        MalformedCase{"EmptyModel", "model =\nsize = 4096\n", 1, "needs a value"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(ScenarioLoaderTest, OtherDriveHoldingTheVolumeNameIsNamed)
{
    const fs::path first = put("a/drive.ini", "model = A\nsize = 4096\nvolumes = va:0:1\n");
    put("b/drive.ini", "model = B\nsize = 4096\nvolumes = va:0:1\n");
    EXPECT_NE(load().error.find(first.string()), std::string::npos) << load().error;
}

TEST_F(ScenarioLoaderTest, MissingRequiredKeyNamesTheFile)
{
    const fs::path noModel = put("a/drive.ini", "size = 4096\n");
    EXPECT_EQ(load().error, noModel.string() + ": the key \"model\" is missing");
    put("a/drive.ini", "model = A\nserial = S\n");
    EXPECT_TRUE(load().error.starts_with(noModel.string() + ": the key \"size\" is missing")) << load().error;
}

TEST_F(ScenarioLoaderTest, SmartBlockOfWrongLengthIsRefused)
{
    put("a/drive.ini", "model = A\nsize = 4096\n");
    put("a/smart-data.bin", std::string(512, 'd'));
    const fs::path thresholds = put("a/smart-thresholds.bin", std::string(511, 't'));
    const ScenarioLoad result = load();
    EXPECT_TRUE(result.drives.empty());
    EXPECT_EQ(result.error, thresholds.string() + ": is 511 bytes long; a S.M.A.R.T. block is exactly 512 bytes");
}

TEST_F(ScenarioLoaderTest, NvmeHealthPageMakesAnNvmeDrive)
{
    put("a/drive.ini", "model = A\nsize = 4096\ninterface = SCSI\n");
    std::string page(512, '\0');
    page[0] = 0x04;
    page[511] = 0x7E;
    put("a/nvme-health.bin", page);
    const ScenarioLoad result = load();
    ASSERT_TRUE(result.error.empty()) << result.error;
    ASSERT_EQ(result.drives.size(), 1u);
    ASSERT_TRUE(result.drives[0].nvmeHealth);
    EXPECT_EQ((*result.drives[0].nvmeHealth)[0], 0x04);
    EXPECT_EQ((*result.drives[0].nvmeHealth)[511], 0x7E);
    EXPECT_FALSE(result.drives[0].smartData || result.drives[0].smartThresholds);
}

TEST_F(ScenarioLoaderTest, NvmeHealthPageOfWrongLengthOrBesideAtaBlocksIsRefused)
{
    put("a/drive.ini", "model = A\nsize = 4096\n");
    const fs::path page = put("a/nvme-health.bin", std::string(513, 'n'));
    EXPECT_EQ(load().error, page.string() + ": is 513 bytes long; an NVMe health log page is exactly 512 bytes");

    put("a/nvme-health.bin", std::string(512, 'n'));
    put("a/smart-thresholds.bin", std::string(512, 't'));
    const ScenarioLoad both = load();
    EXPECT_TRUE(both.drives.empty());
    EXPECT_TRUE(both.error.starts_with(page.string() + ": an NVMe drive answers no ATA S.M.A.R.T. commands"))
        << both.error;
}

TEST_F(ScenarioLoaderTest, FolderWithoutDrivesOrDriveIniIsRefused)
{
    EXPECT_NE(load().error.find("no such scenario folder"), std::string::npos);
    fs::create_directories(root() / "scenario" / ".hidden");
    put("README", "not a drive");
    EXPECT_NE(load().error.find("holds no drive folders"), std::string::npos) << load().error;
    fs::create_directories(root() / "scenario" / "a");
    EXPECT_EQ(load().error, (root() / "scenario" / "a" / "drive.ini").string()
                                + ": missing or unreadable (every drive folder needs one)");
}

TEST_F(ScenarioLoaderTest, GoodScenarioGivesDrivesInFolderNameOrder)
{
    put("b-stick/drive.ini", "model = Stick\nsize = 64 MiB\ninterface = USB\n");
    put("a-disk/drive.ini",
        "\xEF\xBB\xBF# the first drive\n"
        "model  =  Big Disk 9000 \n"
        "serial = SN 123\n"
        "size = 3 TiB\n"
        "sectorSize = 4096\n"
        "interface = SCSI\n"
        "mediaType = External hard disk media\n"
        "status = Pred Fail\n"
        "badSectors = 7, 800000000-800000004 ,\n"
        "volumes = sda1:256:1000; sda2 : 1256 : 2000 ;\n");
    std::string data(512, '\0');
    data[2] = 0x05;
    put("a-disk/smart-data.bin", data);

    const ScenarioLoad result = load();
    ASSERT_EQ(result.error, "");
    ASSERT_EQ(result.drives.size(), 2u);
    const SimDriveSetup& disk = result.drives[0];
    EXPECT_EQ(disk.model, "Big Disk 9000");
    EXPECT_EQ(disk.serial, "SN 123");
    EXPECT_EQ(disk.sizeBytes, 3ull << 40);
    EXPECT_EQ(disk.sectorSize, 4096u);
    EXPECT_EQ(disk.interfaceType, "SCSI");
    EXPECT_EQ(disk.mediaType, "External hard disk media");
    EXPECT_EQ(disk.status, "Pred Fail");
    ASSERT_EQ(disk.badSectors.size(), 2u);
    EXPECT_EQ(disk.badSectors[0].first, 7u);
    EXPECT_EQ(disk.badSectors[0].count, 1u);
    EXPECT_EQ(disk.badSectors[1].first, 800000000u);
    EXPECT_EQ(disk.badSectors[1].count, 5u);
    ASSERT_EQ(disk.volumes.size(), 2u);
    EXPECT_EQ(disk.volumes[1].name, "sda2");
    EXPECT_EQ(disk.volumes[1].startSector, 1256u);
    EXPECT_EQ(disk.volumes[1].sectorCount, 2000u);
    ASSERT_TRUE(disk.smartData.has_value());
    EXPECT_EQ((*disk.smartData)[2], 0x05);
    EXPECT_FALSE(disk.smartThresholds.has_value());

    const SimDriveSetup& stick = result.drives[1];
    EXPECT_EQ(stick.sectorSize, 512u);
    EXPECT_EQ(stick.mediaType, "Removable Media") << "a USB drive is removable unless told otherwise";
    EXPECT_EQ(stick.status, "OK");
    EXPECT_TRUE(stick.serial.empty());
    EXPECT_FALSE(stick.smartData.has_value());
}

TEST_F(ScenarioLoaderTest, ImageGivesTheDriveItsContentAndSize)
{
    std::string content(8192, '\0');
    content[4096] = 'Z';
    put("a/disk.img", content);
    put("a/drive.ini", "model = From Image\nimage = disk.img\n");

    ScenarioPlatform made = makeScenarioPlatform(root() / "scenario", root() / "cache",
                                                 std::make_shared<test::SimSystemServices>(root() / "logs"));
    ASSERT_NE(made.platform, nullptr) << made.error;
    auto drive = made.platform->devices().openPhysicalDrive("0", OpenMode::ReadOnly);
    ASSERT_NE(drive, nullptr);
    std::uint64_t length = 0;
    ASSERT_TRUE(drive->queryLength(length));
    EXPECT_EQ(length, 8192u);
    AlignedBuffer buffer(512);
    ASSERT_TRUE(drive->readAt(4096, buffer.data(), 512).ok);
    EXPECT_EQ(buffer.data()[0], 'Z');
    EXPECT_FALSE(fs::exists(root() / "cache")) << "a drive with an image needs no cache file";
}

TEST_F(ScenarioLoaderTest, RefusedScenarioStartsNoPlatform)
{
    put("a/drive.ini", "model = A\n");
    ScenarioPlatform made = makeScenarioPlatform(root() / "scenario", root() / "cache",
                                                 std::make_shared<test::SimSystemServices>(root() / "logs"));
    EXPECT_EQ(made.platform, nullptr);
    EXPECT_FALSE(made.error.empty());
}

TEST_F(ScenarioLoaderTest, EachScenarioFolderHasItsOwnCacheFolder)
{
    fs::create_directories(root() / "one" / "demo");
    fs::create_directories(root() / "two" / "demo");
    const fs::path one = scenarioCacheFolder(root() / "one" / "demo");
    EXPECT_NE(one, scenarioCacheFolder(root() / "two" / "demo"));
    EXPECT_EQ(one, scenarioCacheFolder(root() / "one" / "." / "demo" / ""));
    EXPECT_EQ(one.parent_path().filename(), "orvel-disk-image");
    EXPECT_TRUE(one.filename().string().starts_with("demo-")) << one;
}

// Laid out as a build tree (beside the executable) and as the Debian package
// (bin/ and share/orvel-disk-image/ of one prefix).
TEST_F(ScenarioLoaderTest, TheBuiltInScenarioBesideTheExecutableComesBeforeTheOneInThePrefix)
{
    const fs::path bin = root() / "usr" / "bin";
    const fs::path shared = root() / "usr" / "share" / "orvel-disk-image" / "scenarios" / "demo";
    fs::create_directories(bin);
    EXPECT_EQ(builtInScenarioFolder(bin), builtInScenarioFolder(root() / "elsewhere")) << "the source tree's";
    fs::create_directories(shared);
    EXPECT_EQ(builtInScenarioFolder(bin), shared);
    fs::create_directories(bin / "scenarios" / "demo");
    EXPECT_EQ(builtInScenarioFolder(bin), bin / "scenarios" / "demo");
}

TEST_F(ScenarioLoaderTest, BuiltInDemoScenarioLoads)
{
    const ScenarioLoad demo = loadScenario(builtInScenarioFolder());
    ASSERT_EQ(demo.error, "");
    ASSERT_EQ(demo.drives.size(), 4u);
    EXPECT_FALSE(demo.drives[0].badSectors.empty());
    EXPECT_TRUE(demo.drives[0].smartData && demo.drives[0].smartThresholds);
    EXPECT_EQ(demo.drives[1].sectorSize, 4096u);
    EXPECT_FALSE(demo.drives[1].volumes.empty());
    EXPECT_EQ(demo.drives[2].interfaceType, "USB");
    EXPECT_FALSE(demo.drives[2].smartData || demo.drives[2].smartThresholds);
    EXPECT_TRUE(demo.drives[3].nvmeHealth) << "an NVMe drive";
    EXPECT_EQ(demo.drives[3].interfaceType, "SCSI");
}

} // namespace
} // namespace orvel
