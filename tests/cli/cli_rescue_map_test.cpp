// Rescue maps through the command line on real kernel block devices: a copy
// stopped half way (cancelled or killed) goes on from its map and reads only
// what it had not finished; bad sectors that read later are filled in; maps
// of another operation, or not maps at all, are refused before anything is
// written.
#include "engine/rescue_map.h"

#include "support/faulty_disk.h"
#include "support/loop_device.h"
#include "support/run_command.h"
#include "support/spawned_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kSourceBytes = 256ull << 20;

class RescueMapOnLoopDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
            GTEST_SKIP() << reason;
    }

    std::unique_ptr<FaultyDisk> faultyDisk(std::vector<std::uint64_t> failingReads, const std::string& backing = {})
    {
        FaultyDisk::Options options;
        options.sizeBytes = kSourceBytes;
        options.failingReads = std::move(failingReads);
        options.backingFile = backing;
        std::string error;
        std::unique_ptr<FaultyDisk> disk = FaultyDisk::create(options, error);
        EXPECT_TRUE(disk) << error;
        return disk;
    }

    std::unique_ptr<LoopDevice> blankDisk(std::uint64_t bytes = kSourceBytes)
    {
        LoopDevice::Options options;
        options.sizeBytes = bytes;
        std::string error;
        std::unique_ptr<LoopDevice> disk = LoopDevice::create(options, error);
        EXPECT_TRUE(disk) << error;
        return disk;
    }

    std::vector<std::string> command(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {ORVEL_EXECUTABLE, "--log-dir", folder.path()});
        return arguments;
    }

    // The one map the log folder holds.
    std::string onlyMap()
    {
        std::string found;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().extension() == ".map") {
                EXPECT_TRUE(found.empty()) << "more than one map";
                found = entry.path();
            }
        }
        return found;
    }

    static ::testing::AssertionResult sameBytes(const std::string& a, const std::string& b)
    {
        const CommandResult compared = runCommand({findProgram("cmp"), "-n", std::to_string(kSourceBytes), a, b});
        if (compared.exitStatus == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << compared.output;
    }

    TempDir folder;
};

// Half way through, the copy is cancelled (Ctrl+C) or killed outright; the
// resumed copy, in either direction, reads exactly what the map had not
// finished. A resumed imaging still gets a checksum of the whole image.
TEST_F(RescueMapOnLoopDevices, AStoppedCopyGoesOnFromItsMapToTheSameBytes)
{
    struct Case {
        const char* name;
        int signal;
        bool imaging;
        std::vector<std::string> firstOptions;
    };
    const std::vector<Case> cases = {
        {"clone cancelled", SIGINT, false, {}},
        {"clone killed", SIGKILL, false, {}},
        {"reverse clone cancelled, resumed forwards", SIGINT, false, {"--reverse"}},
        {"imaging cancelled", SIGINT, true, {}},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        const auto source = faultyDisk({});
        const auto destination = blankDisk();
        ASSERT_TRUE(source && destination);
        for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
            std::filesystem::remove_all(entry.path());
        TempDir images;
        const std::string target = tried.imaging ? images.file("rescue.img") : destination->path();
        const std::string verb = tried.imaging ? "image" : "clone";

        {
            std::vector<std::string> first = {verb, source->path(), target, "--yes", "--quiet"};
            first.insert(first.end(), tried.firstOptions.begin(), tried.firstOptions.end());
            SpawnedProcess copy(command(first), folder.file("first.txt"));
            ASSERT_TRUE(copy.started());
            for (int attempt = 0; attempt < 2000; ++attempt) {
                const std::optional<FaultyDiskStats> stats = source->stats();
                if (stats && stats->sectorsRead * 512 >= kSourceBytes / 2)
                    break;
                ::usleep(2000);
            }
            copy.signal(tried.signal);
            copy.wait();
        }
        const std::string mapPath = onlyMap();
        ASSERT_FALSE(mapPath.empty());
        const ParsedMap before = loadMap(mapPath);
        ASSERT_TRUE(before.map) << before.error;
        // A cancelled run saves its map as it ends; a killed one left the map it saved at its start.
        if (tried.signal == SIGINT) {
            EXPECT_GT(before.map->bytesWith(MapStatus::Finished), 0u);
        }
        const std::uint64_t readBefore = source->stats()->sectorsRead;

        const CommandResult resumed =
            runCommand(command({verb, "--resume", mapPath, source->path(), target, "--yes", "--quiet"}));

        ASSERT_EQ(resumed.exitStatus, 0) << resumed.output;
        EXPECT_TRUE(sameBytes(source->backingFile(), tried.imaging ? target : destination->backingFile()));
        // Besides what was unfinished, the open reads sector 0 to learn the sector size.
        const std::uint64_t unfinished = kSourceBytes - before.map->bytesWith(MapStatus::Finished);
        EXPECT_EQ((source->stats()->sectorsRead - readBefore - 1) * 512, unfinished);
        const ParsedMap after = loadMap(mapPath);
        ASSERT_TRUE(after.map) << after.error;
        EXPECT_EQ(after.map->bytesWith(MapStatus::Finished), kSourceBytes);
        if (const std::string ddrescuelog = findProgram("ddrescuelog"); !ddrescuelog.empty()) {
            const CommandResult totals = runCommand({ddrescuelog, "-t", mapPath});
            EXPECT_EQ(totals.exitStatus, 0) << totals.output;
        }
        if (tried.imaging) {
            const CommandResult checked = runCommand(command({"verify", target}));
            EXPECT_EQ(checked.exitStatus, 0) << checked.output;
        }
    }
}

// The source's bad sectors read on a later day: --retry-bad reads only them
// and puts their data where the markers were.
TEST_F(RescueMapOnLoopDevices, RetryingTheBadSectorsReplacesTheirMarkers)
{
    TempDir disks;
    const std::string backing = disks.file("source.img");
    {
        const auto pattern = faultyDisk({});  // writes the pattern into a file we keep
        ASSERT_TRUE(pattern);
        std::filesystem::copy_file(pattern->backingFile(), backing);
    }
    const auto destination = blankDisk();
    ASSERT_TRUE(destination);
    {
        const auto failing = faultyDisk({1000, 300000}, backing);
        ASSERT_TRUE(failing);
        const CommandResult first = runCommand(
            command({"clone", failing->path(), destination->path(), "--yes", "--quiet", "--retries", "0"}));
        ASSERT_EQ(first.exitStatus, 0) << first.output;
        EXPECT_NE(first.output.find("2 bad sector(s)"), std::string::npos) << first.output;
    }
    const std::string mapPath = onlyMap();
    const auto healed = faultyDisk({}, backing);
    ASSERT_TRUE(healed);
    const std::uint64_t readBefore = healed->stats()->sectorsRead;

    const CommandResult retried =
        runCommand(command({"clone", "--retry-bad", mapPath, healed->path(), destination->path(), "--yes"}));

    ASSERT_EQ(retried.exitStatus, 0) << retried.output;
    EXPECT_TRUE(sameBytes(backing, destination->backingFile()));
    // Sector 0 for the sector size, then the two bad sectors and nothing else.
    EXPECT_EQ(healed->stats()->sectorsRead - readBefore, 3u) << "only the bad sectors are read again";
    const ParsedMap after = loadMap(mapPath);
    ASSERT_TRUE(after.map) << after.error;
    EXPECT_EQ(after.map->bytesWith(MapStatus::BadSector), 0u);
}

TEST_F(RescueMapOnLoopDevices, AMapOfAnotherOperationOrNoMapIsRefusedWithNothingWritten)
{
    const auto source = faultyDisk({});
    const auto destination = blankDisk();
    const auto larger = blankDisk(2 * kSourceBytes);
    ASSERT_TRUE(source && destination && larger);
    ASSERT_EQ(runCommand(command({"clone", source->path(), destination->path(), "--yes", "--quiet"})).exitStatus, 0);
    const std::string mapPath = onlyMap();
    std::ofstream(folder.file("broken.map")) << "# not much\n0x00000000  +  1\n0x00000000  0x00000200  x\n";

    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        const LoopDevice& target;
        int exitStatus;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"another destination", {"clone", "--resume", mapPath, source->path(), larger->path(), "--yes"}, *larger, 1,
         "is not of this operation"},
        {"another range",
         {"clone", "--retry-bad", mapPath, source->path(), destination->path(), "--range", "0", "0", "100", "--yes"},
         *destination, 1, "another range"},
        {"not a map", {"clone", "--resume", folder.file("broken.map"), source->path(), larger->path(), "--yes"},
         *larger, 2, "line 2"},
        {"no map file", {"clone", "--resume", folder.file("missing.map"), source->path(), larger->path(), "--yes"},
         *larger, 2, "missing.map"},
    };
    auto head = [](const LoopDevice& disk) {
        std::ifstream file(disk.backingFile(), std::ios::binary);
        std::vector<char> bytes(1 << 20);
        file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        const std::vector<char> before = head(tried.target);
        const CommandResult result = runCommand(command(tried.arguments));
        EXPECT_EQ(result.exitStatus, tried.exitStatus) << result.output;
        EXPECT_NE(result.output.find(tried.said), std::string::npos) << result.output;
        EXPECT_TRUE(head(tried.target) == before) << "the destination was written";
    }
}

} // namespace
} // namespace orvel::test
