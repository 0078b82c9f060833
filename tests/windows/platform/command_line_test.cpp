// orvel-disk-image.exe itself, run as a user runs it: the drive list from the
// system's management service, and an imaging of a simulated drive into an
// image file through the Windows device layer.

#include "platform/windows/windows_drive_catalog.h"

#include "windows/support/child_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvel::windows {
namespace {

std::filesystem::path pathOf(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fileText(const std::string& path)
{
    std::ifstream file(pathOf(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream file(pathOf(path), std::ios::binary);
    file << text;
}

std::string sectorOfContent(std::size_t sector)
{
    std::string bytes(512, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at)
        bytes[at] = static_cast<char>((sector * 31 + at * 7 + 1) & 0xFF);
    return bytes;
}

TEST(CommandLine, ListShowsTheDrivesAndVolumesTheSystemReports)
{
    std::vector<DiskDriveRow> drives;
    std::vector<LogicalDiskRow> volumes;
    const std::unique_ptr<DriveCatalog> catalog = makeWindowsDriveCatalog();
    ASSERT_EQ(catalog->listDiskDrives(false, drives), CatalogStatus::Ok);
    ASSERT_EQ(catalog->listLogicalDisks(volumes), CatalogStatus::Ok);

    const test::ProgramRun run = test::runProgram({ORVEL_EXECUTABLE, "list"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const DiskDriveRow& drive : drives)
        EXPECT_NE(run.output.find(drive.model.value_or("?")), std::string::npos) << run.output;
    // An optical drive, and a volume without media, are no place to clone to.
    for (const LogicalDiskRow& volume : volumes) {
        const std::string caption = volume.caption.value_or("?");
        const bool listed = volume.size && *volume.size != "0" && !catalog->isOpticalDrive(caption);
        EXPECT_EQ(run.output.find("\n" + caption + " ") != std::string::npos, listed) << caption << '\n' << run.output;
    }
}

TEST(CommandLine, ImagingASimulatedDriveWritesEverySectorAndMarksTheBadOne)
{
    test::TempDir folder;
    ASSERT_FALSE(folder.path().empty());
    constexpr std::size_t kSectors = 256;
    constexpr std::size_t kBadSector = 5;
    std::string content;
    for (std::size_t sector = 0; sector < kSectors; ++sector)
        content += sectorOfContent(sector);
    std::filesystem::create_directories(pathOf(folder.file("scenario/1-disk")));
    writeFile(folder.file("scenario/1-disk/content.bin"), content);
    writeFile(folder.file("scenario/1-disk/drive.ini"),
              "model = Test Disk\nimage = content.bin\nbadSectors = " + std::to_string(kBadSector) + "\n");
    std::filesystem::create_directories(pathOf(folder.file("logs")));
    const std::string image = folder.file("copy.img");

    const test::ProgramRun run =
        test::runProgram({ORVEL_EXECUTABLE, "--demo=" + folder.file("scenario"), "image", "0", image, "--yes",
                          "--quiet", "--log-dir", folder.file("logs")});
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const std::string copy = fileText(image);
    ASSERT_EQ(copy.size(), content.size());
    for (std::size_t sector = 0; sector < kSectors; ++sector) {
        const std::string written = copy.substr(sector * 512, 512);
        if (sector != kBadSector) {
            EXPECT_EQ(written, sectorOfContent(sector)) << "sector " << sector;
            continue;
        }
        std::string marker;
        while (marker.size() < 512)
            marker += "** BAD SECTORS *";
        EXPECT_EQ(written, marker) << "the unreadable sector holds the marker";
    }
    // The log is named after the source's caption.
    const std::string log = fileText(folder.file("logs/Test Disk.log"));
    EXPECT_NE(log.find("Bad Sector encountered. Sector No.\t:\t5\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Operation successfully completed.\r\n"), std::string::npos) << log;
}

} // namespace
} // namespace orvel::windows
