#include "cli/progress_line.h"

#include <gtest/gtest.h>

namespace orvel::cli {
namespace {

TEST(ProgressLine, ShowsPercentBytesRateTimeLeftAndBadSectors)
{
    const ProgressSnapshot snapshot{1ull << 30, 4ull << 30, 0, 2.0, 3};
    EXPECT_EQ(progressLine(snapshot), "25%  1.00 GB of 4.00 GB  512.00 MB/s  0:00:06 left  3 bad sectors");
}

TEST(ProgressLine, MeasuresTheRateFromWhereTheOperationBegan)
{
    // A range clone starting at 1 GiB has moved 1 GiB after one second.
    const ProgressSnapshot snapshot{2ull << 30, 3ull << 30, 1ull << 30, 1.0, 1};
    EXPECT_EQ(progressLine(snapshot), "66%  2.00 GB of 3.00 GB  1.00 GB/s  0:00:01 left  1 bad sector");
}

TEST(ProgressLine, SaysReadingBadSectorsInsteadOfTheTimeLeftDuringABadSectorPass)
{
    ProgressSnapshot snapshot{1ull << 30, 4ull << 30, 0, 2.0, 3};
    snapshot.readingBadSectors = true;
    EXPECT_EQ(progressLine(snapshot), "25%  1.00 GB of 4.00 GB  512.00 MB/s  reading bad sectors  3 bad sectors");
}

TEST(ProgressLine, LeavesOutTheRateUntilSomethingMoved)
{
    EXPECT_EQ(progressLine({0, 1000, 0, 0.0, 0}), "0%  0 bytes of 1000 bytes  0 bad sectors");
    // An empty source is complete, not a division by zero.
    EXPECT_EQ(progressLine({0, 0, 0, 1.0, 0}), "100%  0 bytes of 0 bytes  0 bad sectors");
}

} // namespace
} // namespace orvel::cli
