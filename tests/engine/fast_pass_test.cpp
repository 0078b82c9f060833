#include "engine/forward_copy.h"
#include "engine/reverse_copy.h"

#include "marker_bytes.h"
#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

// The copied range: a block and a healthy tail of 100 sectors, from sector
// 100 of the source (sector 0 must read: it is where the sector size is
// probed) to sector 0 of the destination.
constexpr std::uint64_t kStart = 100;
constexpr std::uint64_t kBlockSectors = 65536;
constexpr std::uint64_t kRangeSectors = kBlockSectors + 100;
constexpr std::uint64_t kDriveSectors = kStart + kRangeSectors;
// The pass reads a failed block again in 128 KiB pieces.
constexpr std::uint64_t kPieceSectors = 256;

struct BadSet {
    std::string name;
    std::vector<std::uint64_t> sectors;  // ascending, counted from the block's start
};

struct FastPassCase {
    BadSet bad;
    bool forward;
    int retries;
};

void PrintTo(const FastPassCase& test, std::ostream* out)
{
    *out << test.bad.name << (test.forward ? " forward" : " reverse") << " retries " << test.retries;
}

std::vector<std::uint64_t> wholeBlock()
{
    std::vector<std::uint64_t> sectors(kBlockSectors);
    std::iota(sectors.begin(), sectors.end(), std::uint64_t{0});
    return sectors;
}

const BadSet kBadSets[] = {
    {"FirstSector", {0}},
    {"LastSector", {kBlockSectors - 1}},
    {"AdjacentSectors", {300, 301}},
    {"AdjacentAcrossPieces", {kPieceSectors - 1, kPieceSectors}},
    {"SeveralPieces", {7, 9, 4000, 65000}},
    {"EverySector", wholeBlock()},
};

// The source's unreadable sectors, and where they land on the destination.
std::vector<std::uint64_t> onTheSource(const std::vector<std::uint64_t>& sectors)
{
    std::vector<std::uint64_t> moved;
    for (const std::uint64_t sector : sectors)
        moved.push_back(kStart + sector);
    return moved;
}

std::vector<SimSectorRange> asRanges(const std::vector<std::uint64_t>& sectors)
{
    std::vector<SimSectorRange> ranges;
    for (const std::uint64_t sector : onTheSource(sectors)) {
        if (!ranges.empty() && ranges.back().first + ranges.back().count == sector)
            ++ranges.back().count;
        else
            ranges.push_back({sector, 1});
    }
    return ranges;
}

// What a pass of single sectors leaves in the log after its header.
std::string sectorBySectorLog(const std::vector<std::uint64_t>& bad)
{
    std::string log = "Source Disk --------> Destination Disk\r\nStart Sector  :  " + std::to_string(kStart) +
                      "\r\nEnd Sector :  " + std::to_string(kStart + kRangeSectors - 1) + "\r\n";
    for (const std::uint64_t sector : onTheSource(bad))
        log += "Bad Sector encountered. Sector No.\t:\t" + std::to_string(sector) + "\r\n";
    return log + "Operation successfully completed.\r\n" + std::to_string(kRangeSectors - bad.size()) +
           " Sector(s) copied.\r\n" + std::to_string(bad.size()) + " Bad Sector(s) encountered.\r\n";
}

class FastPassTest : public SimCopyTest, public ::testing::WithParamInterface<FastPassCase> {
protected:
    std::vector<std::uint8_t> expectedMarker() const
    {
        if (GetParam().retries == 0)
            return shortMarkerSector(512);
        return GetParam().forward ? fullMarkerSector(512) : retriedReverseMarkerSector(512);
    }

    // How many reads touched each sector of the range, counted from its start.
    std::vector<std::uint64_t> readsPerSector()
    {
        std::vector<std::int64_t> change(kRangeSectors + 1, 0);
        for (const auto& [first, count] : sourceReads()) {
            change[first - kStart] += 1;
            change[std::min(first - kStart + count, kRangeSectors)] -= 1;
        }
        std::vector<std::uint64_t> reads(kRangeSectors);
        std::int64_t running = 0;
        for (std::uint64_t sector = 0; sector < kRangeSectors; ++sector)
            reads[sector] = static_cast<std::uint64_t>(running += change[sector]);
        return reads;
    }
};

TEST_P(FastPassTest, EndsAsASectorBySectorPassWouldReadingHealthySectorsInPieces)
{
    const FastPassCase& test = GetParam();
    SimDriveSetup setup = simDrive(kDriveSectors);
    setup.badSectors = asRanges(test.bad.sectors);
    makeDrives(setup, simDrive(kRangeSectors));
    source.startSector = kStart;
    source.endSector = kStart + kRangeSectors;
    source.retryCount = test.retries;
    prepareJob();

    EXPECT_EQ(test.forward ? runForward() : runReverse(), CopyOutcome::Completed);

    EXPECT_EQ(afterTimeLine(logText()), sectorBySectorLog(test.bad.sectors));
    EXPECT_EQ(source.badSectors, test.bad.sectors.size());
    EXPECT_EQ(source.sectorsCopied, kRangeSectors - test.bad.sectors.size());
    EXPECT_TRUE(holdsSource(0, kStart, kRangeSectors, onTheSource(test.bad.sectors)));
    const std::vector<std::uint8_t> marker = expectedMarker();
    const std::vector<std::uint8_t> copied = destinationBytes(0, kBlockSectors);
    std::size_t wrongMarkers = 0;
    for (const std::uint64_t sector : test.bad.sectors) {
        const auto at = copied.begin() + static_cast<std::ptrdiff_t>(sector * 512);
        if (!std::equal(marker.begin(), marker.end(), at) && ++wrongMarkers <= 3)
            ADD_FAILURE() << "destination sector " << sector << " does not hold the marker";
    }
    EXPECT_EQ(wrongMarkers, 0u);

    // The block read, the read of the piece that holds the sector, its own
    // read and each retry: never more.
    const std::vector<std::uint64_t> reads = readsPerSector();
    const std::uint64_t expectedReads = 3 + static_cast<std::uint64_t>(test.retries);
    std::size_t wrongCounts = 0;
    for (const std::uint64_t sector : test.bad.sectors)
        if (reads[sector] != expectedReads && ++wrongCounts <= 3)
            ADD_FAILURE() << "source sector " << kStart + sector << " was read " << reads[sector] << " times";
    EXPECT_EQ(wrongCounts, 0u);

    // Healthy sectors are read on their own only in a piece that failed.
    std::set<std::uint64_t> failedPieces;
    for (const std::uint64_t sector : test.bad.sectors)
        failedPieces.insert(sector / kPieceSectors);
    std::set<std::uint64_t> readAlone;
    std::size_t strayReads = 0;
    for (const auto& [sourceFirst, count] : sourceReads()) {
        const std::uint64_t first = sourceFirst - kStart;
        if (first >= kBlockSectors)
            continue;
        const bool wholePiece = count == kPieceSectors && first % kPieceSectors == 0;
        const bool expected =
            count == 1 ? failedPieces.contains(first / kPieceSectors) : count == kBlockSectors || wholePiece;
        if (count == 1)
            readAlone.insert(first);
        if (!expected && ++strayReads <= 3)
            ADD_FAILURE() << "a read of " << count << " sector(s) at source sector " << sourceFirst;
    }
    EXPECT_EQ(strayReads, 0u);
    EXPECT_EQ(readAlone.size(), failedPieces.size() * kPieceSectors)
        << "every sector of a failed piece is read on its own";

    // Pieces that read reach the destination in one write per run between failed pieces.
    std::size_t pieceWrites = 0;
    for (const auto& [first, count] : destinationWrites())
        pieceWrites += first < kBlockSectors && count > 1 && count != kBlockSectors ? 1 : 0;
    EXPECT_LE(pieceWrites, failedPieces.size() + 1);
}

std::vector<FastPassCase> allCases()
{
    std::vector<FastPassCase> cases;
    for (const BadSet& bad : kBadSets)
        for (const bool forward : {true, false})
            for (const int retries : {0, 2})
                cases.push_back({bad, forward, retries});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(BadSets, FastPassTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<FastPassCase>& param) {
                             return param.param.bad.name + (param.param.forward ? "Forward" : "Reverse") + "Retries" +
                                    std::to_string(param.param.retries);
                         });

TEST_F(SimCopyTest, FastPassTakesTheLastPieceOfATailAsItIs)
{
    // A tail of 1100 sectors: four full pieces and a short one of 76 sectors.
    SimDriveSetup setup = simDrive(1100);
    setup.badSectors = {{1099, 1}};
    makeDrives(setup, simDrive(1100));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    using Transfers = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    Transfers expected = {{0, 1100}, {0, 256}, {256, 256}, {512, 256}, {768, 256}, {1024, 76}};
    for (std::uint64_t sector = 1024; sector < 1100; ++sector)
        expected.emplace_back(sector, 1);
    EXPECT_EQ(sourceReads(), expected);
    EXPECT_TRUE(holdsSource(0, 0, 1100, {1099}));
    EXPECT_EQ(destinationBytes(1099, 1), shortMarkerSector(512));
    EXPECT_EQ(source.sectorsCopied, 1099u);
}

TEST_F(SimCopyTest, FastPassGoesSectorBySectorAtOnceForAReadOfFewerThanFourPieces)
{
    SimDriveSetup setup = simDrive(1023);
    setup.badSectors = {{1000, 1}};
    makeDrives(setup, simDrive(1023));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    const std::vector<std::pair<std::uint64_t, std::uint64_t>> reads = sourceReads();
    ASSERT_EQ(reads.size(), 1u + 1023u);
    EXPECT_TRUE(std::all_of(reads.begin() + 1, reads.end(), [](const auto& read) { return read.second == 1; }));
    EXPECT_EQ(sourceDrive().readCount(1000), 2u);
    EXPECT_TRUE(holdsSource(0, 0, 1023, {1000}));
}

TEST_F(SimCopyTest, FastPassCancelWhileAPieceIsReadLeavesItUnwritten)
{
    SimDriveSetup setup = simDrive(kBlockSectors);
    setup.badSectors = {{10, 1}};
    makeDrives(setup, simDrive(kBlockSectors));
    source.retryCount = 0;
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t bytes) {
                            if (offset == 2 * kPieceSectors * 512 && bytes == kPieceSectors * 512)
                                job.state = JobState::CancelRequested;
                        },
                        {}, {}});

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    // The failed piece went sector by sector, the next piece was written, the third was not.
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> writes = destinationWrites();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), (std::pair<std::uint64_t, std::uint64_t>{kPieceSectors, kPieceSectors}));
    EXPECT_EQ(source.sectorsCopied, 2 * kPieceSectors - 1);
    EXPECT_EQ(job.state, JobState::Cancelled);
    EXPECT_TRUE(afterTimeLine(logText()).ends_with("Bad Sector encountered. Sector No.\t:\t10\r\n"
                                                   "Operation Cancelled.\r\n511 Sector(s) copied.\r\n"
                                                   "1 Bad Sector(s) encountered.\r\n"))
        << logText();
}

} // namespace
} // namespace orvel::test
