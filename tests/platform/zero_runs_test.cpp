#include "platform/aligned_buffer.h"
#include "platform/zero_runs.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace orvel {
namespace {

// A single byte of data anywhere, the last byte of a piece or of an odd
// tail included, is never taken for zeros.
TEST(ZeroRunsTest, OneByteOfDataAnywhereIsSeen)
{
    constexpr std::size_t kLength = kZeroRunPiece + 100;
    AlignedBuffer buffer(kLength);
    EXPECT_TRUE(isAllZero(buffer.data(), kLength));
    for (const std::size_t at : {std::size_t{0}, std::size_t{7}, std::size_t{63}, std::size_t{64},
                                 std::size_t{kZeroRunPiece - 1}, std::size_t{kLength - 37}, std::size_t{kLength - 1}}) {
        buffer.data()[at] = 0x01;
        EXPECT_FALSE(isAllZero(buffer.data(), kLength)) << "byte " << at;
        EXPECT_TRUE(isAllZero(buffer.data(), at)) << "the bytes before " << at;
        buffer.data()[at] = 0;
    }
}

TEST(ZeroRunsTest, WholePiecesOfZerosAndOfDataMakeAlternatingRuns)
{
    // Pieces: data, zeros, zeros, data (one byte at its end), and a short tail of zeros.
    constexpr std::uint32_t kLength = 4 * kZeroRunPiece + 512;
    AlignedBuffer buffer(kLength);
    buffer.data()[10] = 0xff;
    buffer.data()[4 * kZeroRunPiece - 1] = 0xff;

    using Run = std::tuple<std::uint32_t, std::uint32_t, bool>;
    std::vector<Run> runs;
    const IoResult result = forEachZeroRun(buffer.data(), kLength, [&](std::uint32_t start, std::uint32_t length, bool zeros) {
        runs.emplace_back(start, length, zeros);
        return IoResult{true, 0};
    });
    EXPECT_TRUE(result.ok);
    const std::vector<Run> expected = {{0, kZeroRunPiece, false},
                                       {kZeroRunPiece, 2 * kZeroRunPiece, true},
                                       {3 * kZeroRunPiece, kZeroRunPiece, false},
                                       {4 * kZeroRunPiece, 512, true}};
    EXPECT_EQ(runs, expected);

    // The first failed run ends the write with its error.
    int calls = 0;
    const IoResult failed = forEachZeroRun(buffer.data(), kLength, [&](std::uint32_t, std::uint32_t, bool) {
        return ++calls == 2 ? IoResult{false, 28} : IoResult{true, 0};
    });
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, 28u);
    EXPECT_EQ(calls, 2);
}

} // namespace
} // namespace orvel
