#include "cli/command_line.h"
#include "cli/subcommands.h"
#include "inventory/drive_inventory.h"

#include "support/run_command.h"
#include "support/sim_platform_fixture.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace orvel::cli {
namespace {

namespace fs = std::filesystem;

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

CommandRun runHealth(Platform& platform, std::vector<std::string> arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context{platform, std::move(arguments), out, err, "", "--demo"};
    CommandRun run;
    run.status = runHealthCommand(context);
    run.out = out.str();
    run.err = err.str();
    return run;
}

SmartBlock blockWith(std::uint8_t id, std::uint8_t value, std::uint8_t raw0)
{
    SmartBlock block{};
    block[2] = id;
    block[5] = value;
    block[6] = value;
    block[7] = raw0;
    return block;
}

class HealthCommand : public testing::Test {
protected:
    HealthCommand()
    {
        SimDriveSetup disk = test::simDrive(2048);
        disk.model = "Maker Disk";
        disk.smartData = blockWith(0xC2, 100, 38);
        disk.smartThresholds = SmartBlock{};
        sim.make({test::simDrive(2048), disk});
    }

    test::SimPlatformFixture sim;
};

TEST_F(HealthCommand, ShowsTheNamedDrive)
{
    const CommandRun run = runHealth(sim.platform(), {"1"});
    EXPECT_EQ(run.status, kExitCompleted) << run.err;
    EXPECT_EQ(run.out.rfind("Drive 1: Maker Disk\nTemperature: 38 \u00B0C\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("C2  Temperature"), std::string::npos) << run.out;
    EXPECT_TRUE(physicalDrives.empty()) << "the command leaves no inventory behind";
}

// A drive that is not there is as much a mistake as a malformed one.
TEST_F(HealthCommand, BadUsageAndUnknownDrivesExitWithTwo)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"0", "1"}, {"--jsn", "1"}, {"one"}, {"-1"}, {"99999999999999999999"}, {"1,0"}, {"7"}}) {
        const CommandRun run = runHealth(sim.platform(), arguments);
        EXPECT_EQ(run.status, kExitUsage) << testing::PrintToString(arguments);
        EXPECT_TRUE(run.out.empty());
        EXPECT_FALSE(run.err.empty());
    }
    EXPECT_TRUE(physicalDrives.empty());
}

// The cells of a table line: the first word, the last four and the rest.
std::vector<std::string> tableCells(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.size() < 5)
        return words;
    std::string name;
    for (std::size_t i = 1; i + 4 < words.size(); ++i)
        name += (name.empty() ? "" : " ") + words[i];
    return {words[0], name, words[words.size() - 4], words[words.size() - 3], words[words.size() - 2], words.back()};
}

// A demo scenario in `folder` with one simulated drive for each of the first
// `count` real drives of `data` (drive01, drive02, ...): each gets `ini` and
// the drive's files copied under their scenario names. The program's cache
// goes to `folder` too. Gives the drives' names in scenario order.
std::vector<std::string> realDriveScenario(const test::TempDir& folder, const fs::path& data, int count,
                                           const std::string& ini,
                                           const std::vector<std::pair<std::string, std::string>>& files)
{
    ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
    std::vector<std::string> names;
    for (int number = 1; number <= count; ++number) {
        const std::string name = (number < 10 ? "drive0" : "drive") + std::to_string(number);
        const fs::path drive = fs::path(folder.file("scenario")) / name;
        fs::create_directories(drive);
        std::ofstream(drive / "drive.ini") << ini;
        for (const auto& [real, simulated] : files)
            fs::copy_file(data / name / real, drive / simulated);
        names.push_back(name);
    }
    return names;
}

// Through the executable: simulated drives answering with the blocks of twelve
// real drives show exactly the rows the health panel shows for them.
TEST(HealthExecutable, ShowsRealDrivesTablesInPanelOrder)
{
    const fs::path data = test::testDataFolder("smart");
    if (!fs::exists(data / "drive01" / "expected.tsv"))
        GTEST_SKIP() << "no test data at " << data << " (set ORVEL_TESTDATA to the testdata folder)";
    test::TempDir folder;
    ASSERT_FALSE(folder.path().empty());
    const std::vector<std::string> names =
        realDriveScenario(folder, data, 12, "model = Maker HD-3000\nsize = 8 MiB\n",
                          {{"data.bin", "smart-data.bin"}, {"thresholds.bin", "smart-thresholds.bin"}});

    for (std::size_t number = 0; number < names.size(); ++number) {
        SCOPED_TRACE(names[number]);
        const test::CommandResult result = test::runCommand(
            {ORVEL_EXECUTABLE, "--demo=" + folder.file("scenario"), "health", std::to_string(number)});
        ASSERT_EQ(result.exitStatus, 0) << result.output;

        std::ifstream expectedFile(data / names[number] / "expected.tsv");
        std::string temperatureLine;
        std::getline(expectedFile, temperatureLine);
        const std::vector<std::string> temperature = test::splitTabs(temperatureLine);
        ASSERT_EQ(temperature.size(), 2u);
        EXPECT_NE(result.output.find("\nTemperature: " + temperature[1] + "\n"), std::string::npos) << result.output;

        std::istringstream shown(result.output);
        std::string line;
        while (std::getline(shown, line) && line.rfind("ID  Attribute Name", 0) != 0) {
        }
        ASSERT_FALSE(shown.eof()) << "no attribute table in:\n" << result.output;
        for (std::string expectedLine; std::getline(expectedFile, expectedLine);) {
            ASSERT_TRUE(std::getline(shown, line)) << "missing row " << expectedLine;
            EXPECT_EQ(tableCells(line), test::splitTabs(expectedLine));
        }
        EXPECT_FALSE(std::getline(shown, line)) << "extra row " << line;
    }
}

// Cells separated by at least two blanks; an empty cell leaves no trace.
std::vector<std::string> nonEmptyCells(const std::string& line)
{
    std::vector<std::string> cells;
    std::size_t at = line.find_first_not_of(' ');
    while (at != std::string::npos) {
        const std::size_t gap = line.find("  ", at);
        cells.push_back(line.substr(at, gap == std::string::npos ? std::string::npos : gap - at));
        at = gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
    }
    return cells;
}

// One byte for the degree sign, so that byte offsets are column offsets.
std::string oneBytePerCharacter(std::string text)
{
    for (std::size_t at = text.find("\u00B0"); at != std::string::npos; at = text.find("\u00B0", at))
        text.replace(at, 2, "@");
    return text;
}

// Each non-empty expected cell stands in its column: ID and name from their
// heading's first character, the values right-aligned to their heading's
// last one.
void expectCellsInColumns(const std::string& heading, const std::string& shownLine,
                          const std::vector<std::string>& expectedCells)
{
    const std::string line = oneBytePerCharacter(shownLine);
    std::vector<std::string> expected;
    for (const std::string& cell : expectedCells)
        expected.push_back(oneBytePerCharacter(cell));
    const std::vector<std::string> headings = {"ID", "Attribute Name", "Current Value", "Worst", "Threshold",
                                               "Raw Data"};
    ASSERT_EQ(expected.size(), headings.size()) << "a malformed expected row";
    std::vector<std::string> nonEmpty;
    for (std::size_t column = 0; column < headings.size(); ++column) {
        const std::string& cell = expected[column];
        if (cell.empty())
            continue;
        nonEmpty.push_back(cell);
        const std::size_t start = heading.find(headings[column]);
        const std::size_t cellStart = column < 2 ? start : start + headings[column].size() - cell.size();
        EXPECT_EQ(line.compare(cellStart, cell.size(), cell), 0)
            << "\"" << cell << "\" is not in the " << headings[column] << " column of:\n" << heading << "\n" << line;
    }
    EXPECT_EQ(nonEmptyCells(line), nonEmpty) << line;
}

// Through the executable: simulated NVMe drives answering with the health
// logs of seven real drives show exactly the rows expected for them.
TEST(HealthExecutable, ShowsRealNvmeLogsRowsInTheirOrder)
{
    const fs::path data = test::testDataFolder("nvme");
    if (!fs::exists(data / "drive01" / "expected.tsv"))
        GTEST_SKIP() << "no test data at " << data << " (set ORVEL_TESTDATA to the testdata folder)";
    test::TempDir folder;
    ASSERT_FALSE(folder.path().empty());
    const std::vector<std::string> names =
        realDriveScenario(folder, data, 7, "model = Maker NVMe SSD\nsize = 8 MiB\ninterface = SCSI\n",
                          {{"smart-log.bin", "nvme-health.bin"}});

    for (std::size_t number = 0; number < names.size(); ++number) {
        SCOPED_TRACE(names[number]);
        const test::CommandResult result = test::runCommand(
            {ORVEL_EXECUTABLE, "--demo=" + folder.file("scenario"), "health", std::to_string(number)});
        ASSERT_EQ(result.exitStatus, 0) << result.output;

        std::istringstream shown(result.output);
        std::string heading;
        while (std::getline(shown, heading) && heading.rfind("ID  Attribute Name", 0) != 0) {
        }
        ASSERT_FALSE(shown.eof()) << "no attribute table in:\n" << result.output;
        std::ifstream expectedFile(data / names[number] / "expected.tsv");
        std::string line;
        std::string compositeTemperature;
        for (std::string expectedLine; std::getline(expectedFile, expectedLine);) {
            ASSERT_TRUE(std::getline(shown, line)) << "missing row " << expectedLine;
            const std::vector<std::string> expected = test::splitTabs(expectedLine);
            expectCellsInColumns(heading, line, expected);
            if (expected[0] == "1")
                compositeTemperature = expected[2];
        }
        EXPECT_FALSE(std::getline(shown, line)) << "extra row " << line;
        EXPECT_NE(result.output.find("\nTemperature: " + compositeTemperature + "\n"), std::string::npos)
            << result.output;
    }
}

TEST(HealthExecutable, BuiltInDemoDriveShowsItsTable)
{
    test::TempDir folder;
    ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
    const test::CommandResult result = test::runCommand({ORVEL_EXECUTABLE, "--demo", "health", "0", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_EQ(result.output.rfind("{\n  \"number\": 0,", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("\"attributes\": [\n    {"), std::string::npos)
        << "the demo's hard disk has S.M.A.R.T. data:\n" << result.output;
}

TEST(HealthExecutable, BuiltInDemoHasAnNvmeDrive)
{
    test::TempDir folder;
    ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
    const test::CommandResult result = test::runCommand({ORVEL_EXECUTABLE, "--demo", "health", "3", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_NE(result.output.find("\"healthData\": \"nvme\","), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\"nvme\": {\n    \"criticalWarning\": 0,"), std::string::npos) << result.output;
}

} // namespace
} // namespace orvel::cli
