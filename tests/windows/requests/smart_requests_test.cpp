#include "platform/windows/requests/smart_requests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace orvel::windows {
namespace {

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kReadThresholds{0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

// cBufferSize, then DRIVERSTATUS with the driver's and the drive's error
// bytes, then the data.
std::vector<std::uint8_t> answerWith(std::uint8_t driverError, std::size_t dataBytes, std::uint8_t firstDataByte)
{
    std::vector<std::uint8_t> answer(kSmartAnswerHeaderSize + dataBytes, 0);
    answer[0] = static_cast<std::uint8_t>(dataBytes & 0xFF);
    answer[1] = static_cast<std::uint8_t>(dataBytes >> 8);
    answer[4] = driverError;
    for (std::size_t at = 0; at < dataBytes; ++at)
        answer[kSmartAnswerHeaderSize + at] = static_cast<std::uint8_t>(firstDataByte + at);
    return answer;
}

TEST(SendCommandIn, EnableCommandIsTheRegistersAndTheDriveNumberWithEverythingElseZero)
{
    const SendCommandIn expected = {
        0x00, 0x00, 0x00, 0x00,                          // cBufferSize: no data
        0xD8, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 0x00,  // IDEREGS
        0x03, 0x00, 0x00, 0x00,                          // bDriveNumber, reserved
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // reserved words
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00,                                            // bBuffer
    };
    EXPECT_EQ(buildSendCommandIn(kEnable, 3, 0), expected);
}

TEST(SendCommandIn, ReadCommandAnnouncesItsBlockSize)
{
    const SendCommandIn request = buildSendCommandIn(kReadThresholds, 255, 512);
    EXPECT_EQ(request[0], 0x00);
    EXPECT_EQ(request[1], 0x02);
    EXPECT_EQ(request[2], 0x00);
    EXPECT_EQ(request[3], 0x00);
    EXPECT_EQ(request[4], 0xD1) << "features";
    EXPECT_EQ(request[12], 255) << "drive number";
}

TEST(SmartVersionAnswer, QualifiesOnlyWithTheSmartCommandCapability)
{
    std::vector<std::uint8_t> answer(kGetVersionAnswerSize, 0);
    answer[4] = 0x07;  // ATA ID, ATAPI ID and S.M.A.R.T. commands
    EXPECT_TRUE(reportsSmartCommands(answer));
    answer[4] = 0x03;
    EXPECT_FALSE(reportsSmartCommands(answer));
    answer[4] = 0x04;
    EXPECT_FALSE(reportsSmartCommands(std::span(answer).first(6))) << "an answer cut before fCapabilities";
}

TEST(SmartDataAnswer, GivesTheBlockAfterTheStatusHeader)
{
    const std::vector<std::uint8_t> answer = answerWith(0, 512, 0x10);
    const std::optional<SmartBlock> block = dataBlockOf(answer);
    ASSERT_TRUE(block);
    EXPECT_EQ((*block)[0], 0x10);
    EXPECT_EQ((*block)[511], static_cast<std::uint8_t>(0x10 + 511));
}

TEST(SmartDataAnswer, RefusesDriverErrorsAndShortBlocks)
{
    EXPECT_FALSE(dataBlockOf(answerWith(1, 512, 0))) << "the driver reported an error";
    EXPECT_FALSE(dataBlockOf(answerWith(0, 511, 0))) << "one byte short of a block";
    EXPECT_FALSE(dataBlockOf(std::vector<std::uint8_t>(8, 0))) << "shorter than the header";
}

TEST(SendCommandIn, ReturnStatusCarriesItsFeatureWithoutData)
{
    const SendCommandIn request = buildSendCommandIn({0xDA, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, 1, 0);
    const SendCommandIn expected = {
        0x00, 0x00, 0x00, 0x00,                          // cBufferSize: no data
        0xDA, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 0x00,  // IDEREGS: RETURN SMART STATUS
        0x01, 0x00, 0x00, 0x00,                          // bDriveNumber, reserved
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // reserved words
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00,                                            // bBuffer
    };
    EXPECT_EQ(request, expected);
}

TEST(ReturnStatusAnswer, GivesTheRegistersAfterTheStatusHeader)
{
    std::vector<std::uint8_t> answer = answerWith(0, 8, 0);
    const std::uint8_t registers[] = {0x00, 0x01, 0x01, 0xF4, 0x2C, 0xA0, 0x50, 0x00};
    std::copy(std::begin(registers), std::end(registers), answer.begin() + kSmartAnswerHeaderSize);
    const std::optional<AtaRegisters> returned = returnedRegistersOf(answer);
    ASSERT_TRUE(returned);
    EXPECT_EQ(returned->cylinderLow, 0xF4);
    EXPECT_EQ(returned->cylinderHigh, 0x2C);
    EXPECT_EQ(returned->driveHead, 0xA0);
    EXPECT_EQ(returned->command, 0x50) << "the status register";

    EXPECT_FALSE(returnedRegistersOf(std::span(answer).first(23))) << "cut before the last register";
    answer[4] = 1;
    EXPECT_FALSE(returnedRegistersOf(answer)) << "the driver reported an error";
}

TEST(SmartCommandAnswer, IsCleanOnlyWithoutADriverError)
{
    EXPECT_TRUE(driverStatusClean(answerWith(0, 0, 0)));
    EXPECT_FALSE(driverStatusClean(answerWith(2, 0, 0)));
    EXPECT_FALSE(driverStatusClean(std::vector<std::uint8_t>(4, 0)));
}

} // namespace
} // namespace orvel::windows
