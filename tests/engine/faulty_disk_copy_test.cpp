#include "marker_bytes.h"
#include "real_copy_fixture.h"
#include "sim_copy_fixture.h"

#include "support/faulty_disk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kDiskBytes = 33u << 20;  // one 32 MiB block and a 2048-sector tail
const std::vector<std::uint64_t> kUnreadable = {100, 66000, 67583};

// Whether a copy of a patterned faulty disk holds its bytes, sector by
// sector, except the unreadable ones, which must hold `marker`.
::testing::AssertionResult holdsFaultyCopy(const std::string& path, const std::vector<std::uint8_t>& marker)
{
    constexpr std::uint64_t kPart = 4u << 20;
    for (std::uint64_t offset = 0; offset < kDiskBytes; offset += kPart) {
        const std::vector<std::uint8_t> actual = fileBytes(path, offset, kPart);
        std::vector<std::uint8_t> expected = faultyDiskPattern(offset, kPart);
        for (const std::uint64_t sector : kUnreadable)
            if (sector * 512 >= offset && sector * 512 < offset + kPart)
                std::copy(marker.begin(), marker.end(), expected.begin() + static_cast<std::ptrdiff_t>(sector * 512 - offset));
        const auto [at, unused] = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
        if (at != actual.end())
            return ::testing::AssertionFailure()
                   << "sector " << (offset + static_cast<std::uint64_t>(at - actual.begin())) / 512 << " is wrong";
    }
    return ::testing::AssertionSuccess();
}

class FaultyDiskCopyTest : public RealCopyTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        RealCopyTest::SetUp();
        if (IsSkipped())
            return;
        if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
            GTEST_SKIP() << "needs a FUSE-backed faulty disk: " << reason;
    }

    std::unique_ptr<FaultyDisk> faultyDisk(FaultyDisk::Options options)
    {
        std::string error;
        std::unique_ptr<FaultyDisk> disk = FaultyDisk::create(options, error);
        if (!disk)
            ADD_FAILURE() << "cannot make a faulty disk: " << error;
        return disk;
    }

    std::unique_ptr<FaultyDisk> unreadableSource()
    {
        FaultyDisk::Options options;
        options.sizeBytes = kDiskBytes;
        options.failingReads = kUnreadable;
        return faultyDisk(options);
    }

    // What the log says after its header.
    static std::string expectedLogEnd()
    {
        return "Bad Sector encountered. Sector No.\t:\t100\r\n"
               "Bad Sector encountered. Sector No.\t:\t66000\r\n"
               "Bad Sector encountered. Sector No.\t:\t67583\r\n"
               "Operation successfully completed.\r\n"
               "67581 Sector(s) copied.\r\n"
               "3 Bad Sector(s) encountered.\r\n";
    }

    void expectEachUnreadableSectorRead(const FaultyDisk& disk, std::uint64_t times)
    {
        const std::optional<FaultyDiskStats> stats = disk.stats();
        ASSERT_TRUE(stats.has_value());
        for (const std::uint64_t sector : kUnreadable) {
            const auto found = stats->failingSectorReads.find(sector);
            ASSERT_NE(found, stats->failingSectorReads.end()) << "sector " << sector << " was never read";
            EXPECT_EQ(found->second, times) << "reads of sector " << sector;
        }
    }

    // Clones the unreadable source onto a blank disk of `sectorSize`-byte sectors
    // and checks that exactly the unreadable sectors are logged and marked.
    void cloneMarksExactlyTheUnreadableSectors(int retries, std::uint32_t sectorSize)
    {
        const auto from = unreadableSource();
        LoopDevice::Options options;
        options.sizeBytes = kDiskBytes;
        options.sectorSize = sectorSize;
        const auto to = blankDisk(options);
        ASSERT_TRUE(from && to);
        openDrive(source, from->loopDevice().diskseq(), OpenMode::ReadOnly);
        openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
        ASSERT_EQ(destination.sectorSize, sectorSize);
        source.retryCount = retries;
        prepareJob();

        EXPECT_EQ(run(true), CopyOutcome::Completed);

        EXPECT_TRUE(holdsFaultyCopy(to->backingFile(), retries == 0 ? shortMarkerSector(512) : fullMarkerSector(512)));
        EXPECT_TRUE(logText().ends_with(expectedLogEnd())) << logText();
        // The block or tail read, the read of its 128 KiB piece, its own read, and each retry.
        expectEachUnreadableSectorRead(*from, 3 + static_cast<std::uint64_t>(retries));
    }
};

TEST_P(FaultyDiskCopyTest, CloneLogsAndMarksExactlyTheUnreadableSectors)
{
    cloneMarksExactlyTheUnreadableSectors(GetParam(), 512);
}

// Sector 100 shares its 4096-byte destination sector with seven readable
// neighbours, 66000 starts one and 67583 ends the disk.
TEST_P(FaultyDiskCopyTest, CloneOntoLargerSectorsMarksOnlyTheUnreadableSmallSectors)
{
    cloneMarksExactlyTheUnreadableSectors(GetParam(), 4096);
}

TEST_P(FaultyDiskCopyTest, ImagingLogsAndMarksExactlyTheUnreadableSectors)
{
    const int retries = GetParam();
    const auto from = unreadableSource();
    ASSERT_TRUE(from);
    openDrive(source, from->loopDevice().diskseq(), OpenMode::ReadOnly);
    const std::string image = files.file("faulty.img");
    destination.handle = platform->devices().createImageFile(image);
    ASSERT_NE(destination.handle, nullptr);
    cloningShown = false;
    source.retryCount = retries;
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_EQ(std::filesystem::file_size(image), kDiskBytes);
    EXPECT_TRUE(holdsFaultyCopy(image, retries == 0 ? shortMarkerSector(512) : fullMarkerSector(512)));
    EXPECT_TRUE(logText().ends_with(expectedLogEnd())) << logText();
    expectEachUnreadableSectorRead(*from, 3 + static_cast<std::uint64_t>(retries));
}

INSTANTIATE_TEST_SUITE_P(Retries, FaultyDiskCopyTest, ::testing::Values(0, 2),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return "Retries" + std::to_string(param.param);
                         });

TEST_F(RealCopyTest, DestinationWithAnUnwritableSectorFailsTheClone)
{
    if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
        GTEST_SKIP() << "needs a FUSE-backed faulty disk: " << reason;
    const auto from = patternDisk(kDiskBytes);
    FaultyDisk::Options options;
    options.sizeBytes = kDiskBytes;
    options.pattern = false;
    options.failingWrites = {66000};
    std::string error;
    const auto to = FaultyDisk::create(options, error);
    ASSERT_TRUE(from && to) << error;
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->loopDevice().diskseq(), OpenMode::ReadWrite);
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Failed);

    EXPECT_TRUE(logText().ends_with("Write error encountered. Sector No.\t:\t65536\r\n"
                                    "Operation failed.\r\n"
                                    "65536 Sector(s) copied.\r\n"
                                    "0 Bad Sector(s) encountered.\r\n"))
        << logText();
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, 65536u * 512));
}

} // namespace
} // namespace orvel::test
