// Clones from 512-byte sectors onto simulated 4096-byte-sector drives, which
// refuse any direct transfer off their sector boundaries: the copy must land
// whole destination sectors and leave every byte outside its range alone.
#include "engine/sector_fitted_write.h"

#include "marker_bytes.h"
#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint8_t kOldByte = 0xA5;  // what the destination holds before the copy
constexpr std::uint64_t kPerDestinationSector = 8;

// A 4096-byte-sector drive of `sectors` sectors whose every byte is kOldByte.
SimDriveSetup filledLargeSectorDrive(const std::string& path, std::uint64_t sectors)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::vector<char> sector(4096, static_cast<char>(kOldByte));
    for (std::uint64_t at = 0; at < sectors; ++at)
        file.write(sector.data(), static_cast<std::streamsize>(sector.size()));
    SimDriveSetup setup = simDrive(sectors, 4096);
    setup.imagePath = path;
    return setup;
}

struct Case {
    const char* name;
    bool forward;
    std::uint64_t sourceStart;
    std::uint64_t count;
    // In 512-byte units, a multiple of 8; 0 or past the partition tables,
    // which preparing the destination zeroes.
    std::uint64_t destinationStart;
    std::vector<std::uint64_t> badSectors;
    std::int32_t retries;
};

void PrintTo(const Case& testCase, std::ostream* out)
{
    *out << testCase.name;
}

std::vector<std::uint8_t> markerFor(const Case& testCase)
{
    if (testCase.retries == 0)
        return shortMarkerSector(512);
    return testCase.forward ? fullMarkerSector(512) : retriedReverseMarkerSector(512);
}

class LargerDestinationSectorsTest : public SimCopyTest, public ::testing::WithParamInterface<Case> {};

TEST_P(LargerDestinationSectorsTest, LandsByteExactWithMarkersOnlyInTheBadSourceSectors)
{
    const Case& testCase = GetParam();
    constexpr std::uint64_t kSourceSectors = 65536 + 64;
    SimDriveSetup setup = simDrive(kSourceSectors);
    for (const std::uint64_t sector : testCase.badSectors)
        setup.badSectors.push_back({sector, 1});
    makeDrives(setup, filledLargeSectorDrive(files.file("destination.img"), 8400));
    source.startSector = testCase.sourceStart;
    source.endSector = testCase.sourceStart + testCase.count;
    destination.startSector = testCase.destinationStart;
    source.retryCount = testCase.retries;
    prepareJob();

    EXPECT_EQ(testCase.forward ? runForward() : runReverse(), CopyOutcome::Completed);

    const std::uint64_t bad = testCase.badSectors.size();
    EXPECT_EQ(source.sectorsCopied, testCase.count - bad);
    EXPECT_EQ(source.badSectors, bad);
    EXPECT_TRUE(holdsSource(testCase.destinationStart, testCase.sourceStart, testCase.count, testCase.badSectors));
    for (const std::uint64_t sector : testCase.badSectors) {
        EXPECT_EQ(destinationBytes(testCase.destinationStart + sector - testCase.sourceStart, 1), markerFor(testCase))
            << "source sector " << sector;
        EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t" + std::to_string(sector) + "\r\n"),
                  std::string::npos);
    }
    // The destination sector before the range, and the rest of the one the
    // range ends in with the one after it, keep their old bytes.
    const std::uint64_t rangeEnd = testCase.destinationStart + testCase.count;
    const std::uint64_t afterEnd = (rangeEnd / kPerDestinationSector + 2) * kPerDestinationSector - rangeEnd;
    if (testCase.destinationStart > 0) {
        EXPECT_EQ(destinationBytes(testCase.destinationStart - kPerDestinationSector, kPerDestinationSector),
                  std::vector<std::uint8_t>(4096, kOldByte));
    }
    EXPECT_EQ(destinationBytes(rangeEnd, afterEnd), std::vector<std::uint8_t>(afterEnd * 512, kOldByte));
}

INSTANTIATE_TEST_SUITE_P(
    Clones, LargerDestinationSectorsTest,
    ::testing::Values(
        // Bad sectors first, last and in the middle of a destination sector,
        // in the tail, and the source's very last sector inside a part-filled one.
        Case{"WholeForward", true, 0, 65536 + 61, 0, {8, 15, 17, 18, 65540, 65596}, 2},
        Case{"WholeReverse", false, 0, 65536 + 61, 0, {8, 15, 17, 18, 65540, 65596}, 2},
        Case{"WholeReverseWithoutRetries", false, 0, 65536 + 61, 0, {8, 15, 65596}, 0},
        Case{"RangeForward", true, 3, 65536 + 13, 80, {3, 10, 65550}, 1},
        Case{"RangeReverse", false, 3, 65536 + 13, 80, {3, 10, 65550}, 1},
        Case{"ShortRangeForwardWithoutRetries", true, 5, 11, 200, {6}, 0}),
    [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

TEST_F(SimCopyTest, FullBlocksOntoLargerSectorsGoInOneWriteEach)
{
    SimDriveSetup destinationSetup = simDrive(2 * 8192 + 2, 4096);
    makeDrives(simDrive(2 * 65536 + 13), destinationSetup);

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    // In destination sectors: two blocks, the tail's whole sector, then its
    // last five source sectors read back and written in one destination sector.
    EXPECT_EQ(destinationWrites(),
              (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 8192}, {8192, 8192}, {16384, 1}, {16385, 1}}));
    EXPECT_TRUE(holdsSource(0, 0, 2 * 65536 + 13));
}

TEST_F(SimCopyTest, OntoLargerSectorsAnUnreadableDestinationSectorFailsThePartialWrite)
{
    SimDriveSetup setup = simDrive(100);
    setup.badSectors = {{3, 1}};
    SimDriveSetup destinationSetup = simDrive(100, 4096);
    destinationSetup.badSectors = {{6, 1}};  // 512-byte units 48 to 55
    makeDrives(setup, destinationSetup);
    destination.startSector = 40;
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Failed);

    // Sector 8 lands on unit 48, whose destination sector cannot be read back:
    // nothing is written there rather than a guess at its other bytes.
    EXPECT_NE(logText().find("Bad Sector encountered. Sector No.\t:\t3\r\n"
                             "Write error encountered. Sector No.\t:\t48\r\n"
                             "Operation failed.\r\n7 Sector(s) copied.\r\n1 Bad Sector(s) encountered.\r\n"),
              std::string::npos)
        << logText();
    EXPECT_EQ(destinationWrites().back(), (std::pair<std::uint64_t, std::uint64_t>{5, 1}));
}

struct FittedWrite {
    const char* name;
    std::uint64_t offset;
    std::uint32_t bytes;
    std::size_t bufferOffset;  // where in an aligned buffer the bytes start
};

void PrintTo(const FittedWrite& write, std::ostream* out)
{
    *out << write.name;
}

class FittedWriteTest : public ::testing::TestWithParam<FittedWrite> {};

TEST_P(FittedWriteTest, ChangesExactlyTheBytesWritten)
{
    const FittedWrite& write = GetParam();
    SimPlatformFixture sims;
    TempDir files;
    SimPlatform& platform = sims.make({filledLargeSectorDrive(files.file("drive.img"), 8)});
    const std::unique_ptr<DeviceHandle> handle = platform.devices().openPhysicalDrive("0", OpenMode::ReadWrite);
    ASSERT_NE(handle, nullptr);
    AlignedBuffer data(write.bufferOffset + write.bytes);
    for (std::size_t at = 0; at < data.size(); ++at)
        data.data()[at] = static_cast<std::uint8_t>(at % 251);
    AlignedBuffer sector(4096);

    const IoResult result =
        writeFittedToSectors(*handle, {sector.data(), sector.size()}, write.offset, data.data() + write.bufferOffset,
                             write.bytes);

    EXPECT_TRUE(result.ok);
    std::vector<std::uint8_t> expected(8 * 4096, kOldByte);
    std::copy_n(data.data() + write.bufferOffset, write.bytes,
                expected.begin() + static_cast<std::ptrdiff_t>(write.offset));
    EXPECT_EQ(fileBytes(platform.simulatedDrive(0).backingPath().string(), 0, 8 * 4096), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FittedWriteTest,
    ::testing::Values(FittedWrite{"WholeSectors", 4096, 2 * 4096, 0},
                      FittedWrite{"InsideOneSector", 4096 + 1024, 512, 0},
                      FittedWrite{"EndsInsideASector", 4096, 4096 + 1536, 0},
                      FittedWrite{"StartsInsideASector", 3584, 4096 + 512, 0},
                      FittedWrite{"WholeSectorsFromUnalignedMemory", 4096, 2 * 4096, 512},
                      FittedWrite{"AcrossFromUnalignedMemory", 2560, 3 * 4096, 1024}),
    [](const ::testing::TestParamInfo<FittedWrite>& param) { return std::string(param.param.name); });

} // namespace
} // namespace orvel::test
