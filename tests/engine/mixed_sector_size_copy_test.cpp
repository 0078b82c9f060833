// Clones between loop devices of different logical sector sizes, through the
// machine's own direct I/O: 512-byte sectors onto 4096-byte ones and back.
#include "engine/copy_worker.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"

#include "real_copy_fixture.h"
#include "sim_copy_fixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint8_t kOldByte = 0xA5;  // what the destination holds before the copy
constexpr std::uint64_t kDestinationBytes = 48u << 20;
// Preparing a whole-disk destination zeroes its partition tables, which lie
// within this many bytes of either end.
constexpr std::uint64_t kLayoutBytes = 64u << 10;

// Whether a destination's bytes outside [first, end), but for the partition
// tables, are as they were.
::testing::AssertionResult untouchedAround(const std::string& path, std::uint64_t first, std::uint64_t end)
{
    if (first > kLayoutBytes) {
        if (auto before = allBytesAre(path, kLayoutBytes, first - kLayoutBytes, kOldByte); !before)
            return before;
    }
    return allBytesAre(path, end, kDestinationBytes - kLayoutBytes - end, kOldByte);
}

struct Clone {
    const char* name;
    std::uint32_t sourceSectorSize;
    std::uint32_t destinationSectorSize;
    bool forward;
    std::uint64_t sourceSectors;
    // The range in source sectors; count 0 is the whole source.
    std::uint64_t sourceStart;
    std::uint64_t count;
    std::uint64_t destinationStart;
};

void PrintTo(const Clone& clone, std::ostream* out)
{
    *out << clone.name;
}

class MixedSectorSizeClone : public RealCopyTest, public ::testing::WithParamInterface<Clone> {};

TEST_P(MixedSectorSizeClone, LandsByteExactAndLeavesTheBytesAroundTheRange)
{
    const Clone& clone = GetParam();
    const std::uint32_t unit = clone.sourceSectorSize;
    const auto from = patternDisk(clone.sourceSectors * unit, unit);
    const auto to = filledDisk(kDestinationBytes, clone.destinationSectorSize, kOldByte);
    ASSERT_TRUE(from && to);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    ASSERT_EQ(source.sectorSize, clone.sourceSectorSize);
    ASSERT_EQ(destination.sectorSize, clone.destinationSectorSize);
    const std::uint64_t count = clone.count != 0 ? clone.count : clone.sourceSectors;
    source.startSector = clone.sourceStart;
    source.endSector = clone.sourceStart + count;
    destination.startSector = clone.destinationStart;
    prepareJob();

    EXPECT_EQ(run(clone.forward), CopyOutcome::Completed);

    EXPECT_EQ(source.sectorsCopied, count);
    EXPECT_TRUE(logText().ends_with("Operation successfully completed.\r\n" + std::to_string(count) +
                                    " Sector(s) copied.\r\n0 Bad Sector(s) encountered.\r\n"))
        << logText();
    const std::uint64_t first = clone.destinationStart * unit;
    const std::uint64_t end = first + count * unit;
    EXPECT_TRUE(sameFileBytes(to->backingFile(), first, from->backingFile(), clone.sourceStart * unit, count * unit));
    EXPECT_TRUE(untouchedAround(to->backingFile(), first, end));
}

// 40 MiB and a few sectors: one 32 MiB block and a tail that ends inside a
// 4096-byte sector.
constexpr std::uint64_t kSmallSectors = (40u << 20) / 512 + 5;
constexpr std::uint64_t kLargeSectors = (40u << 20) / 4096 + 3;

INSTANTIATE_TEST_SUITE_P(
    SectorSizes, MixedSectorSizeClone,
    ::testing::Values(Clone{"SmallOntoLargeWhole", 512, 4096, true, kSmallSectors, 0, 0, 0},
                      Clone{"SmallOntoLargeRangeWithAnOddCount", 512, 4096, true, kSmallSectors, 1003, 70001, 5000},
                      Clone{"SmallOntoLargeReverse", 512, 4096, false, kSmallSectors, 0, 0, 0},
                      Clone{"SmallOntoLargeReverseRange", 512, 4096, false, kSmallSectors, 7, 66001, 4096},
                      Clone{"LargeOntoSmallWhole", 4096, 512, true, kLargeSectors, 0, 0, 0},
                      Clone{"LargeOntoSmallRange", 4096, 512, true, kLargeSectors, 3, 9000, 1001},
                      Clone{"LargeOntoSmallReverseRange", 4096, 512, false, kLargeSectors, 5, 8199, 31}),
    [](const ::testing::TestParamInfo<Clone>& param) { return std::string(param.param.name); });

struct RangeStart {
    const char* name;
    const char* destinationStart;  // as typed, in source sectors
    const char* refusal;           // nullptr: the clone starts
};

void PrintTo(const RangeStart& start, std::ostream* out)
{
    *out << start.name;
}

class RangeOntoLargerSectors : public RealCopyTest, public ::testing::WithParamInterface<RangeStart> {
protected:
    void TearDown() override
    {
        releaseOperationSlots();
        RealCopyTest::TearDown();
    }
};

TEST_P(RangeOntoLargerSectors, StartsOnlyOnADestinationSectorBoundary)
{
    const RangeStart& start = GetParam();
    constexpr std::uint64_t kSourceBytes = 16u << 20;
    constexpr std::uint64_t kCount = 1001;
    const auto from = patternDisk(kSourceBytes, 512);
    const auto to = filledDisk(kDestinationBytes, 4096, kOldByte);
    ASSERT_TRUE(from && to);
    const std::vector<DriveChoice> entries = {
        {"/dev/disk/by-diskseq/" + std::to_string(from->diskseq()), true, kSourceBytes, from->diskseq(), std::nullopt},
        {"/dev/disk/by-diskseq/" + std::to_string(to->diskseq()), true, kDestinationBytes, to->diskseq(), std::nullopt}};
    const CloneRequest request{entries, 0, 1, AreaMode::Range, "20", start.destinationStart, std::to_string(kCount), 2};
    ScriptedMessageBox messages({MessageAnswer::Yes});

    const CloneStart started = setUpClone(request, platform->devices(), messages);

    if (start.refusal != nullptr) {
        EXPECT_FALSE(started.started);
        ASSERT_EQ(messages.requests().size(), 2u);
        EXPECT_EQ(messages.requests()[1].text, start.refusal);
        EXPECT_EQ(messages.requests()[1].caption, "Information");
        EXPECT_EQ(sourceDevice, nullptr);
        EXPECT_EQ(destinationDevice, nullptr);
        EXPECT_TRUE(allBytesAre(to->backingFile(), 0, kDestinationBytes, kOldByte));
        return;
    }
    ASSERT_TRUE(started.started) << messages.requests().back().text;
    sourceName = from->kernelName();
    destinationName = to->kernelName();
    const OperationResult result = copyThreadProc({observer, gate, true, true, files.path()});

    EXPECT_EQ(result.outcome, CopyOutcome::Completed);
    EXPECT_EQ(result.sectorsCopied, kCount);
    const std::uint64_t first = std::stoull(start.destinationStart) * 512;
    const std::uint64_t end = first + kCount * 512;
    EXPECT_TRUE(sameFileBytes(to->backingFile(), first, from->backingFile(), 20 * 512, kCount * 512));
    EXPECT_TRUE(untouchedAround(to->backingFile(), first, end));
}

INSTANTIATE_TEST_SUITE_P(
    DestinationStarts, RangeOntoLargerSectors,
    ::testing::Values(RangeStart{"InsideADestinationSector", "3",
                                 "The destination's sectors are 4096 bytes: the destination start must be a multiple "
                                 "of 8. Please enter valid destination number."},
                      RangeStart{"OnADestinationSector", "1000", nullptr},
                      // Beyond the destination's count of its own sectors, well inside its bytes.
                      RangeStart{"PastTheDestinationsOwnSectorCount", "20000", nullptr}),
    [](const ::testing::TestParamInfo<RangeStart>& param) { return std::string(param.param.name); });

} // namespace
} // namespace orvel::test
