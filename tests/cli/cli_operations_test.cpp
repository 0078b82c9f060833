// The command line's clone and image end to end, through the executable, on
// simulated drives whose contents are files of the test's own.
#include "support/run_command.h"
#include "support/spawned_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kSectorSize = 512;

std::vector<std::uint8_t> patternBytes(std::uint64_t sectors)
{
    std::vector<std::uint8_t> bytes(sectors * kSectorSize);
    for (std::size_t at = 0; at < bytes.size(); ++at)
        bytes[at] = static_cast<std::uint8_t>((at / kSectorSize * 131 + at) % 251);
    return bytes;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> readBytes(const std::string& path)
{
    const std::string text = readWholeFile(path);
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> sectorOf(const std::vector<std::uint8_t>& bytes, std::uint64_t sector)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(sector * kSectorSize),
            bytes.begin() + static_cast<std::ptrdiff_t>((sector + 1) * kSectorSize)};
}

// A scenario of two drives backed by files in a temp folder: a patterned
// source with the given bad sectors and a destination of zeros.
class CommandLineOperations : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Simulated drives keep their own files under the cache folder; keep ours apart.
        ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
        std::filesystem::create_directories(logs);
    }

    void makeScenario(std::uint64_t sourceSectors, const std::string& badSectors, std::uint64_t destinationSectors,
                      const std::string& sourceVolumes = "")
    {
        source = patternBytes(sourceSectors);
        writeFile(folder.file("source.bin"), source);
        writeFile(folder.file("destination.bin"), std::vector<std::uint8_t>(destinationSectors * kSectorSize));
        addDrive("1-source", "Source Disk", "source.bin", badSectors, sourceVolumes);
        addDrive("2-destination", "Destination Disk", "destination.bin", "", "");
    }

    void addDrive(const std::string& name, const std::string& model, const std::string& image,
                  const std::string& badSectors, const std::string& volumes)
    {
        std::filesystem::create_directories(scenario + "/" + name);
        std::ofstream ini(scenario + "/" + name + "/drive.ini");
        ini << "model = " << model << "\nimage = " << folder.file(image) << "\n";
        if (!badSectors.empty())
            ini << "badSectors = " << badSectors << "\n";
        if (!volumes.empty())
            ini << "volumes = " << volumes << "\n";
    }

    CommandResult run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {ORVEL_EXECUTABLE, "--demo=" + scenario, "--log-dir", logs});
        return runCommand(arguments);
    }

    std::string log(const std::string& sourceModel) { return readWholeFile(logs + "/" + sourceModel + ".log"); }

    TempDir folder;
    std::string scenario = folder.file("scenario");
    std::string logs = folder.file("logs");
    std::vector<std::uint8_t> source;
};

TEST_F(CommandLineOperations, WholeCloneCopiesEverySectorAndMarksTheBadOnes)
{
    makeScenario(70000, "3,65540", 70000);
    const CommandResult result = run({"clone", "0", "1", "--yes", "--retries", "3"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    const std::vector<std::uint8_t> copied = readBytes(folder.file("destination.bin"));
    ASSERT_EQ(copied.size(), source.size());
    std::string marker;
    for (int copy = 0; copy < 32; ++copy)
        marker += "** BAD SECTORS *";
    for (std::uint64_t sector = 0; sector < 70000; ++sector) {
        const std::vector<std::uint8_t> got = sectorOf(copied, sector);
        if (sector == 3 || sector == 65540)
            ASSERT_EQ(std::string(got.begin(), got.end()), marker) << "sector " << sector;
        else
            ASSERT_EQ(got, sectorOf(source, sector)) << "sector " << sector;
    }
    const std::string text = log("Source Disk");
    EXPECT_NE(text.find("Bad Sector encountered. Sector No.\t:\t3\r\nBad Sector encountered. Sector No.\t:\t65540\r\n"
                        "Operation successfully completed.\r\n69998 Sector(s) copied.\r\n2 Bad Sector(s) encountered.\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(result.output.find("Log: " + logs + "/Source Disk.log"), std::string::npos) << result.output;
}

TEST_F(CommandLineOperations, RangeCloneLandsAtTheDestinationStart)
{
    makeScenario(10000, "", 10000);
    const CommandResult result = run({"clone", "0", "1", "--range", "1000", "5000", "3000", "--yes", "--quiet"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    const std::vector<std::uint8_t> copied = readBytes(folder.file("destination.bin"));
    for (std::uint64_t sector = 0; sector < 10000; ++sector) {
        const std::vector<std::uint8_t> got = sectorOf(copied, sector);
        if (sector >= 5000 && sector < 8000)
            ASSERT_EQ(got, sectorOf(source, sector - 4000)) << "sector " << sector;
        else
            ASSERT_EQ(got, std::vector<std::uint8_t>(kSectorSize)) << "sector " << sector << " was written";
    }
}

TEST_F(CommandLineOperations, ReverseCloneCopiesTheWholeSource)
{
    makeScenario(70000, "69999", 70000);
    const CommandResult result = run({"clone", "0", "1", "--reverse", "--yes", "--retries", "0"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    const std::vector<std::uint8_t> copied = readBytes(folder.file("destination.bin"));
    for (std::uint64_t sector = 0; sector < 69999; ++sector)
        ASSERT_EQ(sectorOf(copied, sector), sectorOf(source, sector)) << "sector " << sector;
    EXPECT_EQ(std::string(copied.begin() + 69999 * 512, copied.begin() + 69999 * 512 + 17), "** BAD SECTORS **");
}

TEST_F(CommandLineOperations, NothingIsWrittenWithoutAnAnswer)
{
    makeScenario(1000, "", 1000);
    const CommandResult result = run({"clone", "0", "1"});
    EXPECT_EQ(result.exitStatus, 3) << result.output;
    EXPECT_NE(result.output.find("Are you sure for selected source drive and destination drive ?"), std::string::npos);
    EXPECT_EQ(readBytes(folder.file("destination.bin")), std::vector<std::uint8_t>(1000 * kSectorSize));
    EXPECT_FALSE(std::filesystem::exists(logs + "/Source Disk.log"));
}

TEST_F(CommandLineOperations, RefusesBadChoicesWithThePanelsMessagesBeforeWriting)
{
    makeScenario(1000, "", 500, "srcpart:100:800");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
        int exitStatus;
    };
    const std::vector<Case> cases = {
        {{"clone", "0", "0", "--yes"}, "Source and destination drive can not be same.", 2},
        {{"clone", "0", "srcpart", "--yes"}, "Source and destination drive can not be same.", 2},
        {{"clone", "0", "1", "--yes"}, "Insufficient space. Please choose other destination.", 2},
        {{"clone", "0", "1", "--range", "900", "0", "200", "--yes"}, "Please enter valid number of sectors to be copied.", 2},
        {{"clone", "0", "1", "--range", "0", "400", "200", "--yes"}, "Insufficient space. Please choose other destination.", 2},
        {{"clone", "0", "1", "--range", "1001", "0", "1", "--yes"}, "Please enter valid sector number.", 2},
        {{"clone", "0", "1", "--range", "0", "0", "0", "--yes"}, "Please enter valid number of sectors to be copied.", 2},
        {{"clone", "0", "7", "--yes"}, "No drive or volume \"7\"", 2},
        {{"clone", "0", "1", "--range", "1", "2"}, "--range needs SOURCE_START DEST_START COUNT", 2},
        {{"clone", "0", "1", "--range", "1", "2", "3", "--reverse"}, "cannot go together", 2},
    };
    for (const Case& check : cases) {
        const CommandResult result = run(check.arguments);
        EXPECT_EQ(result.exitStatus, check.exitStatus) << describeCommand(check.arguments) << "\n" << result.output;
        EXPECT_NE(result.output.find(check.message), std::string::npos)
            << describeCommand(check.arguments) << "\n" << result.output;
    }
    EXPECT_EQ(readBytes(folder.file("destination.bin")), std::vector<std::uint8_t>(500 * kSectorSize));
}

TEST_F(CommandLineOperations, ImagingWritesARawImageWithTheImgExtension)
{
    makeScenario(3000, "17", 10);
    const std::string imageBase = folder.file("backup");
    const CommandResult result = run({"image", "0", imageBase, "--yes", "--quiet"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    const std::vector<std::uint8_t> image = readBytes(imageBase + ".img");
    ASSERT_EQ(image.size(), source.size());
    for (std::uint64_t sector = 0; sector < 3000; ++sector) {
        if (sector != 17) {
            ASSERT_EQ(sectorOf(image, sector), sectorOf(source, sector)) << "sector " << sector;
        }
    }
    EXPECT_EQ(std::string(image.begin() + 17 * 512, image.begin() + 17 * 512 + 16), "** BAD SECTORS *");
    EXPECT_NE(log("Source Disk").find("Source Disk --------> " + imageBase + ".img\r\n"), std::string::npos);
}

TEST_F(CommandLineOperations, ImagingLeavesAnExistingFileAloneUntilConfirmed)
{
    makeScenario(100, "", 10);
    const std::string imagePath = folder.file("kept.img");
    writeFile(imagePath, std::vector<std::uint8_t>(4096, 0xAB));
    const CommandResult result = run({"image", "0", imagePath});
    EXPECT_EQ(result.exitStatus, 3) << result.output;
    EXPECT_EQ(readBytes(imagePath), std::vector<std::uint8_t>(4096, 0xAB));
}

TEST_F(CommandLineOperations, InterruptCancelsTheCopyAndLogsIt)
{
    // Many unreadable sectors, each read six times, keep the copy busy long
    // after the first one is logged.
    makeScenario(400000, "1-399999", 400000);
    const std::string output = folder.file("output.txt");
    SpawnedProcess clone({ORVEL_EXECUTABLE, "--demo=" + scenario, "--log-dir", logs, "clone", "0", "1", "--yes",
                          "--retries", "5"},
                         output);
    ASSERT_TRUE(clone.started());
    ASSERT_TRUE(waitForFileText(logs + "/Source Disk.log", "Bad Sector encountered", 60)) << readWholeFile(output);
    clone.signal(SIGINT);
    EXPECT_EQ(clone.wait(), 3) << readWholeFile(output);

    const std::string text = log("Source Disk");
    const std::size_t summary = text.find("Operation Cancelled.\r\n");
    ASSERT_NE(summary, std::string::npos) << text;
    EXPECT_EQ(text.find("Operation Cancelled.", summary + 1), std::string::npos) << "one summary only";
    EXPECT_NE(readWholeFile(output).find("Operation Cancelled."), std::string::npos);
}

} // namespace
} // namespace orvel::test
