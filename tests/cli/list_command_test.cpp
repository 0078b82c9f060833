#include "cli/command_line.h"
#include "cli/subcommands.h"
#include "inventory/drive_inventory.h"

#include "support/run_command.h"
#include "support/sim_platform_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orvel::cli {
namespace {

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

CommandRun runList(Platform& platform, std::vector<std::string> arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context{platform, std::move(arguments), out, err, "", ""};
    CommandRun run;
    run.status = runListCommand(context);
    run.out = out.str();
    run.err = err.str();
    return run;
}

class ListCommand : public testing::Test {
protected:
    ListCommand()
    {
        SimDriveSetup disk = test::simDrive(2048);
        disk.model = "Maker Disk";
        disk.serial = "MD-1";
        disk.volumes = {{"sdx1", 0, 1024}};
        SimDriveSetup stick = test::simDrive(4096);
        stick.model = "Maker Stick";
        stick.interfaceType = "USB";
        sim.make({disk, stick});
    }

    test::SimPlatformFixture sim;
};

TEST_F(ListCommand, ListsDrivesAndVolumesAndLeavesTheInventoryEmpty)
{
    const CommandRun run = runList(sim.platform(), {});
    EXPECT_EQ(run.status, kExitCompleted) << run.err;
    EXPECT_NE(run.out.find("Maker Disk"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("MD-1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(1.00 MB)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Maker Stick"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("sdx1  0      (512.00 KB)"), std::string::npos) << run.out;
    EXPECT_TRUE(physicalDrives.empty() && volumes.empty());
}

TEST_F(ListCommand, RunningTwiceListsEachDriveOnce)
{
    runList(sim.platform(), {"--json"});
    const CommandRun run = runList(sim.platform(), {"--json"});
    std::size_t listed = 0;
    for (std::size_t at = run.out.find("\"Maker Disk\""); at != std::string::npos;
         at = run.out.find("\"Maker Disk\"", at + 1))
        ++listed;
    EXPECT_EQ(listed, 2u) << "caption and model, once each:\n" << run.out;
}

TEST_F(ListCommand, RefusesUnknownArguments)
{
    const CommandRun run = runList(sim.platform(), {"--jsn"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("--jsn"), std::string::npos) << run.err;
}

// Through the executable, on a scenario folder of the test's own.
class ListExecutable : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(folder.path().empty());
        // Simulated drives keep their files under the cache folder; keep ours apart.
        ::setenv("XDG_CACHE_HOME", folder.file("cache").c_str(), 1);
        write("1-disk/drive.ini", "model = Maker HD-500\nserial = HD500-1\nsize = 1 GiB\n"
                                  "volumes = sdx1:2048:204800; sdx2:206848:100000\n");
        write("2-stick/drive.ini", "model = Maker Stick\nsize = 16 MiB\ninterface = USB\n");
    }

    void write(const std::string& name, const std::string& text)
    {
        const std::filesystem::path path = std::filesystem::path(folder.file("scenario")) / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path) << text;
    }

    test::TempDir folder;
};

TEST_F(ListExecutable, JsonListsEveryDriveAndVolume)
{
    const test::CommandResult result =
        test::runCommand({ORVEL_EXECUTABLE, "--demo=" + folder.file("scenario"), "list", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;

    for (const char* expected : {"\"physicalDrives\": [", "\"number\": 0,", "\"model\": \"Maker HD-500\"",
                                 "\"serialNumber\": \"HD500-1\"", "\"sizeBytes\": 1073741824,", "\"size\": \"1.00 GB\"",
                                 "\"number\": 1,", "\"model\": \"Maker Stick\"", "\"interfaceType\": \"USB\"",
                                 "\"temperature\": \"N/A\"", "\"name\": \"sdx1\"", "\"sizeBytes\": 104857600,",
                                 "\"name\": \"sdx2\"", "\"size\": \"48.83 MB\""})
        EXPECT_NE(result.output.find(expected), std::string::npos) << "no " << expected << " in:\n" << result.output;
    EXPECT_EQ(result.output.back(), '\n');
    EXPECT_EQ(result.output.front(), '{') << "only the document on standard output:\n" << result.output;
}

TEST_F(ListExecutable, TextListsTheBuiltInDemoDrives)
{
    const test::CommandResult result = test::runCommand({ORVEL_EXECUTABLE, "--demo", "list"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_EQ(result.output.rfind("Physical drives\nDrive  Model", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("\nVolumes\n"), std::string::npos) << result.output;
}

} // namespace
} // namespace orvel::cli
