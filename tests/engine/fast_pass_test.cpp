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
// The pass reads a failed block again in 256 KiB pieces.
constexpr std::uint64_t kPieceSectors = 512;

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
    SimDriveSpec spec = simDrive(kDriveSectors);
    spec.badSectors = asRanges(test.bad.sectors);
    makeDrives(spec, simDrive(kRangeSectors));
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
    // A tail of 1000 sectors: one full piece and a short one of 488 sectors.
    SimDriveSpec spec = simDrive(1000);
    spec.badSectors = {{999, 1}};
    makeDrives(spec, simDrive(1000));
    source.retryCount = 0;

    EXPECT_EQ(runForward(), CopyOutcome::Completed);

    const std::vector<std::pair<std::uint64_t, std::uint64_t>> reads = sourceReads();
    ASSERT_GE(reads.size(), 3u);
    EXPECT_EQ(reads[0], (std::pair<std::uint64_t, std::uint64_t>{0, 1000}));
    EXPECT_EQ(reads[1], (std::pair<std::uint64_t, std::uint64_t>{0, 512}));
    EXPECT_EQ(reads[2], (std::pair<std::uint64_t, std::uint64_t>{512, 488}));
    EXPECT_EQ(reads.size(), 3u + 488u);
    EXPECT_TRUE(holdsSource(0, 0, 1000, {999}));
    EXPECT_EQ(destinationBytes(999, 1), shortMarkerSector(512));
    EXPECT_EQ(source.sectorsCopied, 999u);
}

TEST_F(SimCopyTest, FastPassCancelWhileAPieceIsReadLeavesItUnwritten)
{
    SimDriveSpec spec = simDrive(kBlockSectors);
    spec.badSectors = {{10, 1}};
    makeDrives(spec, simDrive(kBlockSectors));
    source.retryCount = 0;
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t bytes) {
                            if (offset == 1024u * 512 && bytes == kPieceSectors * 512)
                                job.state = JobState::CancelRequested;
                        },
                        {}, {}});

    EXPECT_EQ(runForward(), CopyOutcome::Cancelled);

    // The failed piece went sector by sector, the next piece was written, the third was not.
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> writes = destinationWrites();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes.back(), (std::pair<std::uint64_t, std::uint64_t>{512, 512}));
    EXPECT_EQ(source.sectorsCopied, 1023u);
    EXPECT_EQ(job.state, JobState::Cancelled);
    EXPECT_TRUE(afterTimeLine(logText()).ends_with("Bad Sector encountered. Sector No.\t:\t10\r\n"
                                                   "Operation Cancelled.\r\n1023 Sector(s) copied.\r\n"
                                                   "1 Bad Sector(s) encountered.\r\n"))
        << logText();
}

} // namespace
} // namespace orvel::test
