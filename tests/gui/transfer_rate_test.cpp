#include "panels/transfer_rate.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvel {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct RateCase {
    const char* name;
    std::vector<RateSample> samples;
    std::optional<double> bytesPerSecond;
};

const RateCase kRateCases[] = {
    {"NoSampleYet", {}, std::nullopt},
    {"OneTickIsNoRateYet", {{0, 0}}, std::nullopt},
    {"SteadyRate", {{0, 0}, {1, 10 * kMiB}, {2, 20 * kMiB}, {3, 30 * kMiB}}, 10.0 * kMiB},
    {"NoMovementYet", {{0, 0}, {1, 0}, {2, 0}}, 0.0},
    {"AStallWholeWindowIsZero", {{4, 50 * kMiB}, {5, 50 * kMiB}, {6, 50 * kMiB}}, 0.0},
    {"AStallHalfTheWindowHalvesTheRate", {{0, 0}, {2, 20 * kMiB}, {4, 20 * kMiB}}, 5.0 * kMiB},
    {"VerificationRestartsAtZero", {{0, 80 * kMiB}, {1, 90 * kMiB}, {2, 0}, {3, 4 * kMiB}, {4, 8 * kMiB}},
     4.0 * kMiB},
    {"JustRestartedIsNoRateYet", {{0, 80 * kMiB}, {1, 90 * kMiB}, {2, 3 * kMiB}}, std::nullopt},
};

class TransferRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(TransferRate, MeasuresTheCountSinceItsLastRestartOverTheWindow)
{
    EXPECT_EQ(bytesPerSecond(GetParam().samples), GetParam().bytesPerSecond);
}

INSTANTIATE_TEST_SUITE_P(Windows, TransferRate, ::testing::ValuesIn(kRateCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(TransferRateText, SpeedInMegabytesAndTimeLeftOnlyOnceItMeansSomething)
{
    EXPECT_EQ(speedText(std::nullopt), "");
    EXPECT_EQ(speedText(0.0), "0.00 MB/s");
    EXPECT_EQ(speedText(12.5 * kMiB), "12.50 MB/s");

    EXPECT_EQ(timeLeftText(std::nullopt, 0, 100, false), "");
    EXPECT_EQ(timeLeftText(0.0, 0, 100, false), "") << "a stall has no end to show";
    EXPECT_EQ(timeLeftText(10.0 * kMiB, 0, 36000 * 10 * kMiB + 1, false), "10:00:01") << "a part second counts";
    EXPECT_EQ(timeLeftText(10.0 * kMiB, 200, 100, false), "00:00:00");
    EXPECT_EQ(timeLeftText(10.0 * kMiB, 0, 100 * kMiB, true), "reading bad sectors");
    EXPECT_EQ(timeLeftText(std::nullopt, 0, 100, true), "reading bad sectors");
}

} // namespace
} // namespace orvel
