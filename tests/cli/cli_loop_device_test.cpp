// The command line on real kernel block devices: loop devices made by each
// test, and a loop device over a FUSE file with sectors that fail to read.
#include "support/faulty_disk.h"
#include "support/loop_device.h"
#include "support/run_command.h"
#include "support/spawned_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kDiskBytes = 48ull << 20;

std::vector<std::uint8_t> fileBytes(const std::string& path, std::uint64_t offset, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const ssize_t got = ::pread(fd, bytes.data(), length, static_cast<off_t>(offset));
    ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

constexpr std::size_t kChunk = 1 << 20;

// Writes the pattern into the first MiB of every `spacing` bytes; the rest
// stays as it was (zeros in a new backing file).
void writePattern(const std::string& path, std::uint64_t size, std::uint64_t spacing = kChunk)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (std::uint64_t offset = 0; offset < size; offset += spacing) {
        const std::vector<std::uint8_t> bytes = faultyDiskPattern(offset, kChunk);
        ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)), static_cast<ssize_t>(kChunk));
    }
    ::close(fd);
}

LoopDevice::Options diskOf(std::uint64_t sizeBytes, std::vector<LoopDevice::Partition> partitions = {})
{
    LoopDevice::Options options;
    options.sizeBytes = sizeBytes;
    options.partitions = std::move(partitions);
    return options;
}

class CommandLineOnLoopDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string reason = LoopDevice::unavailableReason(); !reason.empty())
            GTEST_SKIP() << reason;
    }

    std::unique_ptr<LoopDevice> makeLoop(LoopDevice::Options options)
    {
        std::string error;
        std::unique_ptr<LoopDevice> device = LoopDevice::create(options, error);
        EXPECT_TRUE(device) << error;
        return device;
    }

    CommandResult run(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {ORVEL_EXECUTABLE, "--log-dir", folder.path()});
        return runCommand(arguments);
    }

    TempDir folder;
};

TEST_F(CommandLineOnLoopDevices, ClonesAWholeDiskByItsDevicePath)
{
    auto source = makeLoop(diskOf(kDiskBytes));
    auto destination = makeLoop(diskOf(kDiskBytes));
    ASSERT_TRUE(source && destination);
    writePattern(source->backingFile(), kDiskBytes);

    const CommandResult result = run({"clone", source->path(), destination->path(), "--yes", "--quiet"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    for (std::uint64_t offset = 0; offset < kDiskBytes; offset += 8 << 20)
        ASSERT_EQ(fileBytes(destination->backingFile(), offset, 8 << 20), fileBytes(source->backingFile(), offset, 8 << 20))
            << "at byte " << offset;
}

TEST_F(CommandLineOnLoopDevices, ImagesAPartitionByItsKernelName)
{
    auto disk = makeLoop(diskOf(kDiskBytes, {{16, "L"}}));
    ASSERT_TRUE(disk);
    ASSERT_EQ(disk->partitionNames().size(), 1u);
    writePattern(disk->backingFile(), kDiskBytes);

    const std::string image = folder.file("partition.img");
    const CommandResult result = run({"image", disk->partitionNames()[0], image, "--yes", "--quiet"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    // The first partition of a GPT disk made by sfdisk starts at 1 MiB.
    EXPECT_EQ(fileBytes(image, 0, 16 << 20), fileBytes(disk->backingFile(), 1 << 20, 16 << 20));
}

// Imaging a drive that is three quarters zeros makes a sparse image of the
// drive's full length that takes the storage of its data only; it has the
// checksum sha256sum -c reads, restore puts it back byte for byte over a
// drive full of other data, and verify catches an image changed afterwards.
TEST_F(CommandLineOnLoopDevices, ImageRestoreAndVerifyMakeARoundTrip)
{
    auto source = makeLoop(diskOf(kDiskBytes));
    auto destination = makeLoop(diskOf(kDiskBytes));
    ASSERT_TRUE(source && destination);
    writePattern(source->backingFile(), kDiskBytes, 4 * kChunk);
    writePattern(destination->backingFile(), kDiskBytes);
    const std::string image = folder.file("disk.img");

    CommandResult result = run({"image", source->path(), image, "--yes", "--quiet", "--verify"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    struct stat status {};
    ASSERT_EQ(::stat(image.c_str(), &status), 0);
    EXPECT_EQ(static_cast<std::uint64_t>(status.st_size), kDiskBytes);
    EXPECT_LE(static_cast<std::uint64_t>(status.st_blocks) * 512, kDiskBytes / 4 + (256 << 10))
        << "the zeros take storage";
    const std::string sha256sum = findProgram("sha256sum");
    if (!sha256sum.empty()) {
        const CommandResult checked = runCommand({"/bin/sh", "-c", "cd '" + folder.path() + "' && " + sha256sum +
                                                                       " -c disk.img.sha256"});
        EXPECT_EQ(checked.exitStatus, 0) << checked.output;
    }
    result = run({"restore", image, destination->path(), "--yes", "--quiet"});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    for (std::uint64_t offset = 0; offset < kDiskBytes; offset += 8 << 20) {
        const std::vector<std::uint8_t> original = fileBytes(source->backingFile(), offset, 8 << 20);
        ASSERT_EQ(fileBytes(image, offset, 8 << 20), original) << "image, at byte " << offset;
        ASSERT_EQ(fileBytes(destination->backingFile(), offset, 8 << 20), original) << "restored, at byte " << offset;
    }
    EXPECT_EQ(run({"verify", image}).exitStatus, 0);

    const int fd = ::open(image.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, "\x5a", 1, 12345), 1);
    ::close(fd);
    result = run({"verify", image});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.output.find("The image file does not match its checksum."), std::string::npos) << result.output;
}

TEST_F(CommandLineOnLoopDevices, InterruptDuringABadAreaEndsCancelled)
{
    if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
        GTEST_SKIP() << reason;
    FaultyDisk::Options options;
    options.sizeBytes = kDiskBytes;
    for (std::uint64_t sector = 100; sector < 90000; sector += 7)
        options.failingReads.push_back(sector);
    std::string error;
    std::unique_ptr<FaultyDisk> source = FaultyDisk::create(options, error);
    ASSERT_TRUE(source) << error;
    auto destination = makeLoop(diskOf(kDiskBytes));
    ASSERT_TRUE(destination);

    const std::string output = folder.file("output.txt");
    SpawnedProcess clone({ORVEL_EXECUTABLE, "--log-dir", folder.path(), "clone", source->path(), destination->path(),
                          "--yes", "--retries", "5"},
                         output);
    ASSERT_TRUE(clone.started());
    // The log is named after the source's caption; wait for its first bad sector.
    std::string logPath;
    for (int attempt = 0; attempt < 600 && logPath.empty(); ++attempt) {
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            if (entry.path().extension() == ".log" && readWholeFile(entry.path()).find("Bad Sector") != std::string::npos)
                logPath = entry.path();
        }
        if (logPath.empty())
            ::usleep(50000);
    }
    ASSERT_FALSE(logPath.empty()) << readWholeFile(output);
    clone.signal(SIGINT);
    EXPECT_EQ(clone.wait(), 3) << readWholeFile(output);
    EXPECT_NE(readWholeFile(logPath).find("Operation Cancelled.\r\n"), std::string::npos) << readWholeFile(logPath);
}

} // namespace
} // namespace orvel::test
