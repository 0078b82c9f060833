// Restores and verifications on real kernel block devices: the refusals of a
// restore, what it writes, a checksum that fails it, an image that cannot be
// read, and a destination that silently changes what it was given.
#include "engine/copy_worker.h"
#include "engine/image_checksum_file.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"
#include "engine/region_digests.h"
#include "engine/restore_setup.h"
#include "platform/sha256.h"

#include "real_copy_fixture.h"

#include "support/faulty_disk.h"
#include "support/scoped_mount.h"
#include "support/spawned_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kDiskBytes = 8u << 20;

std::vector<std::uint8_t> randomBytes(std::size_t length, unsigned seed)
{
    std::mt19937 generator(seed);
    std::vector<std::uint8_t> bytes(length);
    for (std::uint8_t& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

std::string sha256Of(const std::vector<std::uint8_t>& bytes)
{
    Sha256 sha256;
    sha256.update(bytes.data(), bytes.size());
    return hexDigest(sha256.finish());
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> deviceBytes(const std::string& path, std::uint64_t offset, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd < 0 ? -1 : ::pread(fd, bytes.data(), length, static_cast<off_t>(offset));
    if (fd >= 0)
        ::close(fd);
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return bytes;
}

DriveChoice wholeDrive(const LoopDevice& disk, std::uint64_t sizeBytes)
{
    return {"/dev/disk/by-diskseq/" + std::to_string(disk.diskseq()), true, sizeBytes, disk.diskseq(), std::nullopt};
}

class RestoreTest : public RealCopyTest {
protected:
    // Runs the operation the slots hold on this thread, as the worker does.
    OperationResult runWorker(bool verify)
    {
        return copyThreadProc({observer, gate, true, true, files.path(), verify});
    }

    std::string lastLog(const OperationResult& result) const { return readWholeFile(result.logPath); }
};

TEST_F(RestoreTest, EveryRefusalComesInOrderAndLeavesTheDestinationUntouched)
{
    const auto target = filledDisk(kDiskBytes, 512, 0x5a);
    const auto mounted = blankDisk([] {
        LoopDevice::Options options;
        options.sizeBytes = 24u << 20;
        options.partitions = {{16, "L"}};
        return options;
    }());
    ASSERT_TRUE(target && mounted);
    std::string error;
    ASSERT_TRUE(makeExt4(mounted->partitionPath(0), error)) << error;
    const auto mount = ScopedMount::create(mounted->partitionPath(0), "ext4", error);
    ASSERT_TRUE(mount) << error;

    const std::string good = files.file("good.img");
    writeFile(good, randomBytes(1u << 20, 1));
    writeFile(files.file("empty.img"), {});
    writeFile(files.file("odd.img"), randomBytes(1000, 2));
    writeFile(files.file("large.img"), randomBytes(kDiskBytes + 512, 3));
    writeFile(mount->mountPoint() + "/stored.img", randomBytes(1u << 20, 4));

    const DriveChoice drive = wholeDrive(*target, kDiskBytes);
    const std::string confirm = "Are you sure for selected image file and destination drive ?";
    struct Case {
        const char* name;
        std::string image;
        std::optional<DriveChoice> destination;
        std::vector<std::string> asked;  // the messages shown, in order
    };
    const std::vector<Case> cases = {
        {"no image", "", drive, {"Please select an image file."}},
        {"missing image", files.file("missing.img"), drive, {"Failed to open image file."}},
        {"a folder", files.path(), drive, {"Failed to open image file."}},
        {"no destination", good, std::nullopt, {"Please select a destination drive."}},
        {"empty image", files.file("empty.img"), drive, {"The image file's size is not a whole number of sectors."}},
        {"part of a sector", files.file("odd.img"), drive, {"The image file's size is not a whole number of sectors."}},
        {"larger than the drive", files.file("large.img"), drive,
         {"Insufficient space. Please choose other destination."}},
        {"stored on the destination", mount->mountPoint() + "/stored.img", wholeDrive(*mounted, 24u << 20),
         {"The image file is stored on the destination drive."}},
        {"answered No", good, drive, {confirm}},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        ScriptedMessageBox messages({MessageAnswer::No});

        EXPECT_FALSE(setUpRestore({tried.image, tried.destination}, platform->devices(), messages));

        std::vector<std::string> asked;
        for (const MessageRequest& request : messages.requests())
            asked.push_back(request.text);
        EXPECT_EQ(asked, tried.asked);
        EXPECT_EQ(sourceDevice, nullptr);
        EXPECT_EQ(destinationDevice, nullptr);
        EXPECT_TRUE(allBytesAre(target->backingFile(), 0, kDiskBytes, 0x5a));
    }
}

// A volume, so that no partition table is erased: the image's bytes land at
// its start and every byte after them stays as it was.
TEST_F(RestoreTest, WritesTheImageAloneAndHoldsItToItsChecksum)
{
    LoopDevice::Options options;
    options.sizeBytes = 24u << 20;
    options.partitions = {{16, "L"}};
    const auto disk = blankDisk(options);
    ASSERT_TRUE(disk);
    const std::string volume = disk->partitionPath(0);
    const std::uint64_t volumeBytes = 16u << 20;
    const std::vector<std::uint8_t> image = randomBytes((3u << 20) + 512, 5);
    const std::string imagePath = files.file("small.img");
    writeFile(imagePath, image);

    struct Case {
        const char* name;
        std::string checksum;  // empty: no checksum file
        CopyOutcome outcome;
        const char* logLine;
    };
    const std::vector<Case> cases = {
        {"without a checksum file", "", CopyOutcome::Completed, "Verification passed."},
        {"with its checksum", sha256Of(image), CopyOutcome::Completed, "Verification passed."},
        {"with another checksum", std::string(64, '0'), CopyOutcome::Failed,
         "The image file does not match its checksum."},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        {
            const std::vector<std::uint8_t> fill(volumeBytes, 0xa5);
            const int fd = ::open(volume.c_str(), O_WRONLY | O_CLOEXEC);
            ASSERT_EQ(::pwrite(fd, fill.data(), fill.size(), 0), static_cast<ssize_t>(fill.size()));
            ::fsync(fd);
            ::close(fd);
        }
        removeChecksumFile(imagePath);
        if (!tried.checksum.empty()) {
            ASSERT_TRUE(writeChecksumFile(imagePath, tried.checksum));
        }
        const DriveChoice choice{disk->partitionNames().at(0), false, volumeBytes, disk->diskseq(), std::nullopt};
        ScriptedMessageBox messages({MessageAnswer::Yes});
        ASSERT_TRUE(setUpRestore({imagePath, choice}, platform->devices(), messages));

        const OperationResult result = runWorker(true);

        EXPECT_EQ(result.outcome, tried.outcome);
        const std::string log = lastLog(result);
        EXPECT_NE(log.find(imagePath + " -------->"), std::string::npos) << log;
        EXPECT_NE(log.find(tried.logLine), std::string::npos) << log;
        EXPECT_TRUE(deviceBytes(volume, 0, image.size()) == image);
        const std::vector<std::uint8_t> rest = deviceBytes(volume, image.size(), volumeBytes - image.size());
        EXPECT_EQ(std::count(rest.begin(), rest.end(), 0xa5), static_cast<std::ptrdiff_t>(rest.size()));
    }
}

TEST_F(RestoreTest, AnUnreadableImageSectorFailsTheRestoreAndIsNeverMarked)
{
    if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
        GTEST_SKIP() << reason;
    std::string error;
    FaultyDisk::Options options;
    options.sizeBytes = 4u << 20;
    options.failingReads = {3000};
    const auto faulty = FaultyDisk::create(options, error);
    ASSERT_TRUE(faulty) << error;
    const auto target = filledDisk(kDiskBytes, 512, 0x5a);
    ASSERT_TRUE(target);
    ScriptedMessageBox messages({MessageAnswer::Yes});
    ASSERT_TRUE(setUpRestore({faulty->servedFile(), wholeDrive(*target, kDiskBytes)}, platform->devices(), messages));

    const OperationResult result = runWorker(false);

    EXPECT_EQ(result.outcome, CopyOutcome::Failed);
    EXPECT_EQ(result.badSectors, 0u);
    const std::string log = lastLog(result);
    EXPECT_NE(log.find("Read error in the image file. Sector No.\t:\t3000\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Bad Sector encountered"), std::string::npos) << log;
    ASSERT_FALSE(observer.messages().empty());
    EXPECT_EQ(observer.messages().back().text, kOperationFailedMessage);
}

// The first sector of the 1 MiB region that holds a sector the destination
// reads back changed.
TEST_F(RestoreTest, VerificationFindsWhatTheDestinationChangedInEitherDirection)
{
    if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
        GTEST_SKIP() << reason;
    const auto from = patternDisk(kDiskBytes);
    ASSERT_TRUE(from);
    struct Case {
        const char* name;
        bool forward;
        std::vector<std::uint64_t> flipped;
        std::optional<std::uint64_t> reportedSector;
    };
    const std::vector<Case> cases = {
        {"forward, kept", true, {}, std::nullopt},
        {"reverse, kept", false, {}, std::nullopt},
        {"forward, changed", true, {5000, 9000}, 4096},
        {"reverse, changed", false, {9000}, 8192},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        std::string error;
        FaultyDisk::Options options;
        options.sizeBytes = kDiskBytes;
        options.flippedReads = tried.flipped;
        const auto to = FaultyDisk::create(options, error);
        ASSERT_TRUE(to) << error;
        const std::vector<DriveChoice> entries = {wholeDrive(*from, kDiskBytes),
                                                  {"/dev/disk/by-diskseq/" + std::to_string(to->loopDevice().diskseq()),
                                                   true, kDiskBytes, to->loopDevice().diskseq(), std::nullopt}};
        ScriptedMessageBox messages({MessageAnswer::Yes});
        const CloneStart start = setUpClone({entries, 0, 1, tried.forward ? AreaMode::WholeArea : AreaMode::Reverse,
                                             "", "", "", 2},
                                            platform->devices(), messages);
        ASSERT_TRUE(start.started);

        const OperationResult result = copyThreadProc({observer, gate, start.forwardCopy, true, files.path(), true});

        const std::string log = lastLog(result);
        EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, kDiskBytes));
        if (!tried.reportedSector) {
            EXPECT_EQ(result.outcome, CopyOutcome::Completed);
            EXPECT_NE(log.find("Operation successfully completed.\r\n"), std::string::npos) << log;
            EXPECT_TRUE(log.ends_with("Verification passed.\r\n")) << log;
            continue;
        }
        EXPECT_EQ(result.outcome, CopyOutcome::Failed);
        EXPECT_TRUE(log.ends_with("Verification failed. Sector No.\t:\t" + std::to_string(*tried.reportedSector) +
                                  "\r\n"))
            << log;
        EXPECT_EQ(observer.messages().back().text, kVerificationFailedMessage);
        EXPECT_EQ(observer.messages().back().icon, MessageIcon::Error);
    }
}

TEST_F(RestoreTest, ACancelDuringVerificationEndsCancelled)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk([] {
        LoopDevice::Options options;
        options.sizeBytes = kDiskBytes;
        return options;
    }());
    ASSERT_TRUE(from && to);
    const std::vector<DriveChoice> entries = {wholeDrive(*from, kDiskBytes), wholeDrive(*to, kDiskBytes)};
    ScriptedMessageBox messages({MessageAnswer::Yes});
    ASSERT_TRUE(setUpClone({entries, 0, 1, AreaMode::WholeArea, "", "", "", 2}, platform->devices(), messages).started);
    CopyJob* running = currentJob.get();
    bool sawVerifying = false;
    observer.onProgress = [&](std::size_t) {
        if (running->phase == JobPhase::Verifying && !sawVerifying) {
            sawVerifying = true;
            running->state = JobState::CancelRequested;
        }
    };

    const OperationResult result = copyThreadProc({observer, gate, true, true, files.path(), true});

    EXPECT_TRUE(sawVerifying);
    EXPECT_EQ(result.outcome, CopyOutcome::Cancelled);
    EXPECT_TRUE(lastLog(result).ends_with("Verification cancelled.\r\n")) << lastLog(result);
}

// Region digests on their own: writes in any order and of any size are
// compared in the blocks a verification reads, and a changed byte is placed
// in its region (a whole one) or its write (the pieces of a region).
TEST(RegionDigests, PlaceAChangedByteInItsRegionOrWrite)
{
    constexpr std::uint32_t kRegion = RegionDigests::kRegionBytes;
    const std::uint64_t first = 512;  // not on a region boundary: the first region comes in pieces
    const std::vector<std::uint8_t> bytes = randomBytes(3 * kRegion, 6);
    const std::uint64_t end = first + bytes.size();
    struct Write {
        std::uint64_t offset;
        std::uint32_t length;
    };
    // Backwards, as a reverse copy writes: a whole region with a piece of the
    // next, pieces of a region, single sectors.
    const std::vector<Write> writes = {{2 * kRegion, kRegion + 512},
                                       {kRegion + 4096, kRegion - 4096},
                                       {kRegion, 4096},
                                       {1024, kRegion - 1024},
                                       {512, 512}};
    RegionDigests digests(first, end);
    for (const Write& write : writes)
        digests.add(write.offset, bytes.data() + (write.offset - first), write.length);
    ASSERT_TRUE(digests.writtenSpan());
    EXPECT_EQ(digests.writtenSpan()->first, first);
    EXPECT_EQ(digests.writtenSpan()->end, end);

    struct Case {
        std::uint64_t changedByte;  // on the destination; 0: nothing changed
        std::optional<std::uint64_t> reported;
    };
    const std::vector<Case> cases = {
        {0, std::nullopt},
        {first + 100, first},                      // a single sector
        {kRegion + 100, kRegion},                  // a 4 KiB piece
        {kRegion + 5000, kRegion + 4096},          // the piece after it
        {2 * kRegion + 10, 2 * kRegion},           // a whole region
        {end - 1, 3 * kRegion},                    // the piece of the last region
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.changedByte);
        std::vector<std::uint8_t> readBack = bytes;
        if (tried.changedByte != 0)
            readBack[tried.changedByte - first] ^= 0x01;
        // Read back as a verification does: up to each region boundary, then region by region.
        std::optional<std::uint64_t> reported;
        for (std::uint64_t at = first; at < end && !reported;) {
            const std::uint64_t blockEnd = std::min(end, (at / kRegion + 1) * kRegion);
            reported = digests.firstMismatch(at, readBack.data() + (at - first), static_cast<std::uint32_t>(blockEnd - at));
            at = blockEnd;
        }
        EXPECT_EQ(reported, tried.reported);
    }
}

} // namespace
} // namespace orvel::test
