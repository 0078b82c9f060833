#include "platform/windows/requests/disk_answers.h"

#include <gtest/gtest.h>

#include <array>

namespace orvel::windows {
namespace {

template <std::size_t Size>
void putLittleEndian(std::array<std::uint8_t, Size>& bytes, std::size_t offset, std::uint64_t value)
{
    for (std::size_t at = 0; at < 8; ++at)
        bytes[offset + at] = static_cast<std::uint8_t>(value >> (8 * at));
}

TEST(LengthInfoAnswer, KeepsLengthsPastFourGibibytes)
{
    std::array<std::uint8_t, kLengthInfoSize> answer{};
    putLittleEndian(answer, 0, 0x3A'3817'D600ull);  // 250 GB
    EXPECT_EQ(lengthOfLengthInfo(answer), 0x3A'3817'D600ull);
}

TEST(LengthInfoAnswer, RefusesShortAndNegativeAnswers)
{
    std::array<std::uint8_t, kLengthInfoSize> answer{};
    putLittleEndian(answer, 0, 4096);
    EXPECT_FALSE(lengthOfLengthInfo(std::span(answer).first(7)));
    putLittleEndian(answer, 0, ~0ull);
    EXPECT_FALSE(lengthOfLengthInfo(answer));
}

TEST(PartitionInfoAnswer, GivesThePartitionLengthNotItsStart)
{
    std::array<std::uint8_t, kPartitionInfoSize> answer{};
    putLittleEndian(answer, 0, 1048576);          // StartingOffset
    putLittleEndian(answer, 8, 536870912000ull);  // PartitionLength
    answer[16] = 0x00;
    answer[20] = 1;  // PartitionNumber
    EXPECT_EQ(lengthOfPartitionInfo(answer), 536870912000ull);
    EXPECT_FALSE(lengthOfPartitionInfo(std::span(answer).first(12)));
}

} // namespace
} // namespace orvel::windows
