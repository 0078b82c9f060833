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

    // Every run is as over SSH: no display, so nothing may need one; it
    // starts in the test's folder, where relative paths land.
    CommandResult run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"env", "-u", "QT_QPA_PLATFORM", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY",
                                             "-C", folder.path(), ORVEL_EXECUTABLE, "--demo=" + scenario, "--log-dir",
                                             logs});
        return runCommand(arguments);
    }

    // The log the run names on its "Log: " line.
    static std::string loggedText(const std::string& output)
    {
        const std::size_t line = output.find("Log: ");
        if (line == std::string::npos)
            return {};
        const std::size_t end = output.find('\n', line);
        return readWholeFile(output.substr(line + 5, end - line - 5));
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
    EXPECT_EQ(result.output.find("Operation is completed."), std::string::npos) << "one completion line:\n"
                                                                                 << result.output;
    EXPECT_NE(result.output.find("Operation successfully completed. 69998 sector(s) copied, 2 bad sector(s).\n"),
              std::string::npos)
        << result.output;
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

TEST_F(CommandLineOperations, SaysWhatWillHappenBeforeTheQuestionAndThatNothingWasWritten)
{
    makeScenario(1000, "", 1000, "srcpart:100:800");
    struct Case {
        std::vector<std::string> arguments;
        std::string printed;
    };
    const std::vector<Case> cases = {
        {{"clone", "0", "1"},
         "Source:      drive 0: Source Disk, 500.00 KB\n"
         "Destination: drive 1: Destination Disk, 500.00 KB\n"
         "             Its partition table will be erased first.\n"
         "Sectors:     the whole source, from its first sector to its last\n"
         "Are you sure for selected source drive and destination drive ?\n"
         "No terminal to answer the question; --yes answers it.\n"
         "Nothing was written.\n"},
        {{"image", "srcpart", "disk"},
         "Source:      volume srcpart on drive 0, 400.00 KB\n"
         "Destination: image file " + folder.file("disk.img") + " (a new file)\n"
         "Sectors:     the whole source, from its first sector to its last\n"
         "Are you sure for selected source drive and destination path ?\n"},
    };
    for (const Case& check : cases) {
        const CommandResult result = run(check.arguments);
        EXPECT_EQ(result.exitStatus, 3) << describeCommand(check.arguments) << "\n" << result.output;
        EXPECT_NE(result.output.find(check.printed), std::string::npos)
            << describeCommand(check.arguments) << "\n" << result.output;
        EXPECT_NE(result.output.find("Nothing was written.\n"), std::string::npos) << result.output;
    }
    EXPECT_EQ(readBytes(folder.file("destination.bin")), std::vector<std::uint8_t>(1000 * kSectorSize));
    EXPECT_FALSE(std::filesystem::exists(folder.file("disk.img")));
    EXPECT_TRUE(std::filesystem::is_empty(logs));
}

// Whatever the operator mistyped is said before any question, with --yes as
// without, exits 2 and writes nothing; none of it needs a display.
TEST_F(CommandLineOperations, UsageErrorsComeFirstAndExitWithTwo)
{
    makeScenario(1000, "", 1000, "srcpart:100:800");
    const std::string listHint = "; \"orvel-disk-image --demo=" + scenario + " list\" shows them.\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--frobnicate"}, "Unknown option \"--frobnicate\". See --help."},
        {{"bogus"}, "Unknown command \"bogus\". See --help."},
        {{"--log-dir"}, "--log-dir needs a folder"},
        {{"clone", "0", "1", "--range", "0", "0", "abc"}, "--range: \"abc\" is not a whole number"},
        {{"clone", "0", "1", "--range", "0", "2,048", "1,000", "--yes"}, "--range: \"2,048\""},
        {{"clone", "0", "1", "--range", "0", "0", "9223372036854775808", "--yes"},
         "--range: \"9223372036854775808\" is not a whole number from 0 to 9223372036854775807"},
        {{"clone", "0", "1", "--range", "0", "0", "0", "--yes"}, "--range: a COUNT of 0 copies nothing"},
        {{"clone", "0", "1", "--range", "1", "2"}, "--range needs SOURCE_START DEST_START COUNT"},
        {{"clone", "0", "1", "--range", "1", "2", "3", "--reverse", "--yes"}, "cannot go together"},
        {{"clone", "0", "1", "--retries", "101", "--yes"}, "--retries: \"101\" is not a whole number from 0 to 100"},
        {{"clone", "0", "1", "--retries", "-1", "--yes"}, "--retries: \"-1\""},
        {{"clone", "0", "1", "--frob", "--yes"}, "Unknown option \"--frob\" for clone. See --help."},
        {{"clone", "0", "7", "--yes"}, "No drive or volume \"7\"" + listHint},
        {{"image", "simb1", "x", "--yes"}, "No drive or volume \"simb1\"" + listHint},
        {{"health", "3"}, "No drive \"3\"" + listHint},
        {{"health", "/dev/nonexistent-disk"}, "No drive \"/dev/nonexistent-disk\"" + listHint},
        {{"health", "srcpart"}, "No drive \"srcpart\"" + listHint},
        {{"list", "extra"}, "Unexpected argument \"extra\" for list. See --help."},
    };
    for (const Case& check : cases) {
        const CommandResult result = run(check.arguments);
        EXPECT_EQ(result.exitStatus, 2) << describeCommand(check.arguments) << "\n" << result.output;
        EXPECT_NE(result.output.find(check.message), std::string::npos)
            << describeCommand(check.arguments) << "\n" << result.output;
        EXPECT_EQ(result.output.find("Are you sure"), std::string::npos) << result.output;
    }
    EXPECT_EQ(readBytes(folder.file("destination.bin")), std::vector<std::uint8_t>(1000 * kSectorSize));
}

TEST_F(CommandLineOperations, WithoutADisplayTheDesktopProgramSaysSoInOneLine)
{
    if (!ORVEL_EXECUTABLE_HAS_GUI)
        GTEST_SKIP() << "the program was built without the desktop program";
    makeScenario(100, "", 100);
    const CommandResult result = run({});
    EXPECT_EQ(result.exitStatus, 1) << result.output;
    EXPECT_EQ(result.output.rfind("No display for the desktop program", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("xvfb-run orvel-disk-image --demo"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
}

// The checks behind the question: the desktop program's messages and exit statuses.
TEST_F(CommandLineOperations, RefusesBadChoicesWithThePanelsMessagesBeforeWriting)
{
    makeScenario(1000, "", 500, "srcpart:100:800");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"clone", "0", "0", "--yes"}, "Source and destination drive can not be same."},
        {{"clone", "0", "srcpart", "--yes"}, "Source and destination drive can not be same."},
        {{"clone", "0", "1", "--yes"}, "Insufficient space. Please choose other destination."},
        {{"clone", "0", "1", "--range", "900", "0", "200", "--yes"},
         "Please enter valid number of sectors to be copied."},
        {{"clone", "0", "1", "--range", "0", "400", "200", "--yes"},
         "Insufficient space. Please choose other destination."},
        {{"clone", "0", "1", "--range", "1001", "0", "1", "--yes"}, "Please enter valid sector number."},
    };
    for (const Case& check : cases) {
        const CommandResult result = run(check.arguments);
        EXPECT_EQ(result.exitStatus, 2) << describeCommand(check.arguments) << "\n" << result.output;
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

// FILE as typed, from the test's folder: what is refused before the question,
// what is written where, and the absolute path the log names it by.
TEST_F(CommandLineOperations, ImagePathsAreCheckedAndLoggedAbsolute)
{
    makeScenario(100, "", 10);
    std::filesystem::create_directories(folder.file("sub"));
    std::filesystem::create_symlink("/nonexistent-folder/x.img", folder.file("dangling.img"));
    struct Case {
        std::string typed;
        int exitStatus;
        std::string message;
        std::string written;  // the image, when there is one
    };
    const std::vector<Case> cases = {
        {"", 2, "image needs a FILE name, such as backup.img.", ""},
        {"sub/", 2, "\"sub/\" is a folder; image needs a FILE name, such as \"sub/backup.img\".", ""},
        {"sub", 2, "\"sub\" is a folder", ""},
        {"missing/disk", 2, "The folder of \"" + folder.file("missing/disk.img") + "\" does not exist.", ""},
        {"dangling", 1, "Error: Failed to create image file.", ""},
        {"rel", 0, "Destination: image file " + folder.file("rel.img") + " (a new file)\n", folder.file("rel.img")},
        {"./sub/../rel.img", 0,
         "Destination: image file " + folder.file("rel.img") + ", which exists and will be replaced\n",
         folder.file("rel.img")},
    };
    for (const Case& check : cases) {
        SCOPED_TRACE("FILE \"" + check.typed + "\"");
        const CommandResult result = run({"image", "0", check.typed, "--yes", "--quiet"});
        EXPECT_EQ(result.exitStatus, check.exitStatus) << result.output;
        EXPECT_NE(result.output.find(check.message), std::string::npos) << result.output;
        if (check.exitStatus == 2) {
            EXPECT_EQ(result.output.find("Are you sure"), std::string::npos) << result.output;
        }
        if (check.written.empty())
            continue;
        EXPECT_EQ(readBytes(check.written), source);
        EXPECT_NE(loggedText(result.output).find("Source Disk --------> " + check.written + "\r\n"), std::string::npos)
            << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file(".img")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("sub/.img")));
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
