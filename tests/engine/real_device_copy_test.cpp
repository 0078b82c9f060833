#include "engine/copy_worker.h"
#include "engine/operation_slots.h"

#include "real_copy_fixture.h"
#include "sim_copy_fixture.h"

#include "support/scoped_mount.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kDiskBytes = 40u << 20;  // one 32 MiB block and a tail

bool allZero(const std::vector<std::uint8_t>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

LoopDevice::Options blankOptions(std::uint64_t bytes, std::uint32_t sectorSize = 512)
{
    LoopDevice::Options options;
    options.sizeBytes = bytes;
    options.sectorSize = sectorSize;
    return options;
}

// A disk with one partition from 1 MiB on, holding a mounted ext4 file system.
struct MountedPartition {
    std::unique_ptr<LoopDevice> disk;
    std::unique_ptr<ScopedMount> mount;
};

MountedPartition makeMountedPartition(std::uint64_t partitionMiB)
{
    MountedPartition made;
    LoopDevice::Options options = blankOptions(kDiskBytes);
    options.partitions = {{partitionMiB, "L"}};
    std::string error;
    made.disk = LoopDevice::create(options, error);
    if (!made.disk) {
        ADD_FAILURE() << "cannot make a partitioned loop device: " << error;
        return made;
    }
    if (!makeExt4(made.disk->partitionPath(0), error)) {
        ADD_FAILURE() << error;
        return made;
    }
    made.mount = ScopedMount::create(made.disk->partitionPath(0), "ext4", error);
    if (!made.mount)
        ADD_FAILURE() << "cannot mount: " << error;
    return made;
}

TEST_F(RealCopyTest, WholeCloneThroughTheWorkerCopiesEveryByte)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk(blankOptions(kDiskBytes));
    ASSERT_TRUE(from && to);
    sourceDevice = std::make_unique<DiskDevice>();
    destinationDevice = std::make_unique<DiskDevice>();
    ASSERT_TRUE(openDevice(*sourceDevice, platform->devices(), std::to_string(from->diskseq()), OpenMode::ReadOnly));
    ASSERT_TRUE(
        openDevice(*destinationDevice, platform->devices(), std::to_string(to->diskseq()), OpenMode::ReadWrite));
    currentJob = std::make_unique<CopyJob>();
    currentJob->endBytes = sourceDevice->endSector * 512;
    sourceName = from->kernelName();
    destinationName = to->kernelName();

    const OperationResult result = copyThreadProc({observer, gate, true, true, files.path()});

    EXPECT_EQ(result.outcome, CopyOutcome::Completed);
    EXPECT_EQ(result.sectorsCopied, kDiskBytes / 512);
    EXPECT_EQ(result.logPath, files.file(from->kernelName() + ".log"));
    EXPECT_EQ(sourceDevice, nullptr);
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, kDiskBytes));
}

TEST_F(RealCopyTest, RangeCloneLandsAtTheDestinationStart)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk(blankOptions(kDiskBytes));
    ASSERT_TRUE(from && to);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    source.startSector = 1000;
    source.endSector = 1000 + 70000;
    destination.startSector = 5000;
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_EQ(source.sectorsCopied, 70000u);
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 5000 * 512, from->backingFile(), 1000 * 512, 70000 * 512));
    EXPECT_TRUE(allZero(fileBytes(to->backingFile(), 4999 * 512, 512)));
    EXPECT_TRUE(allZero(fileBytes(to->backingFile(), 75000 * 512, 512)));
}

TEST_F(RealCopyTest, ReverseCloneCopiesEveryByte)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk(blankOptions(kDiskBytes));
    ASSERT_TRUE(from && to);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    prepareJob();

    EXPECT_EQ(run(false), CopyOutcome::Completed);

    EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, kDiskBytes));
}

TEST_F(RealCopyTest, ImagingWritesTheSourceIntoAFile)
{
    const auto from = patternDisk(kDiskBytes);
    ASSERT_TRUE(from);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    const std::string image = files.file("disk.img");
    destination.handle = platform->devices().createImageFile(image);
    ASSERT_NE(destination.handle, nullptr);
    cloningShown = false;
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_EQ(std::filesystem::file_size(image), kDiskBytes);
    EXPECT_TRUE(sameFileBytes(image, 0, from->backingFile(), 0, kDiskBytes));
}

TEST_F(RealCopyTest, LargeSectorCloneCopiesEveryByte)
{
    const auto from = patternDisk(kDiskBytes, 4096);
    const auto to = blankDisk(blankOptions(kDiskBytes, 4096));
    ASSERT_TRUE(from && to);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    ASSERT_EQ(source.sectorSize, 4096u);
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_EQ(source.sectorsCopied, kDiskBytes / 4096);
    EXPECT_EQ(job.positionBytes, kDiskBytes);
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, kDiskBytes));
}

TEST_F(RealCopyTest, PartitionedDestinationLosesItsPartitionTable)
{
    const auto from = patternDisk(1u << 20);
    LoopDevice::Options options = blankOptions(kDiskBytes);
    options.partitions = {{8, "L"}, {0, "L"}};
    const auto to = blankDisk(options);
    ASSERT_TRUE(from && to);
    const std::string firstPartition = "/sys/block/" + to->kernelName() + "/" + to->partitionNames().at(0);
    ASSERT_TRUE(std::filesystem::exists(firstPartition));
    ASSERT_FALSE(allZero(fileBytes(to->backingFile(), 0, 34 * 512)));
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    // A range that leaves both partition tables to the layout deletion alone.
    source.endSector = 100;
    destination.startSector = 20000;
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_TRUE(allZero(fileBytes(to->backingFile(), 0, 34 * 512)));
    EXPECT_TRUE(allZero(fileBytes(to->backingFile(), kDiskBytes - 33 * 512, 33 * 512)));
    EXPECT_FALSE(std::filesystem::exists(firstPartition));
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 20000 * 512, from->backingFile(), 0, 100 * 512));
}

TEST_F(RealCopyTest, DestinationWithAMountedPartitionIsRefusedAndLeftUnchanged)
{
    const auto from = patternDisk(kDiskBytes);
    MountedPartition to = makeMountedPartition(16);
    ASSERT_TRUE(from && to.mount);
    const std::vector<std::uint8_t> tableBefore = fileBytes(to.disk->backingFile(), 0, 1u << 20);
    const std::vector<std::uint8_t> backupBefore = fileBytes(to.disk->backingFile(), kDiskBytes - 33 * 512, 33 * 512);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to.disk->diskseq(), OpenMode::ReadWrite);
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Failed);

    ASSERT_EQ(observer.messages().size(), 1u);
    EXPECT_EQ(observer.messages()[0].text, "Access denied.");
    EXPECT_EQ(fileBytes(to.disk->backingFile(), 0, 1u << 20), tableBefore);
    EXPECT_EQ(fileBytes(to.disk->backingFile(), kDiskBytes - 33 * 512, 33 * 512), backupBefore);
    EXPECT_TRUE(to.mount->isMounted());
    EXPECT_EQ(logText().find("Operation"), std::string::npos);
}

TEST_F(RealCopyTest, MountedVolumeDestinationIsDismountedThenCopiedOnto)
{
    const auto from = patternDisk(kDiskBytes);
    MountedPartition to = makeMountedPartition(16);
    ASSERT_TRUE(from && to.mount);
    const std::string partition = to.disk->partitionNames().at(0);
    const std::uint64_t partitionStart = std::stoull(readSysfsLine("/sys/class/block/" + partition + "/start"));
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    ASSERT_TRUE(openDevice(destination, platform->devices(), partition, OpenMode::ReadWrite));
    ASSERT_EQ(destination.kind, DeviceKind::Volume);
    source.endSector = destination.endSector;
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_FALSE(to.mount->isMounted());
    EXPECT_TRUE(sameFileBytes(to.disk->backingFile(), partitionStart * 512, from->backingFile(), 0, 16u << 20));
}

} // namespace
} // namespace orvel::test
