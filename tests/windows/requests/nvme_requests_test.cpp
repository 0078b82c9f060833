#include "platform/windows/requests/nvme_requests.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace orvel::windows {
namespace {

// A driver's answer: the descriptor header, the protocol data as the driver
// filled it in, and a page of recognisable bytes at `dataOffset`.
std::vector<std::uint8_t> answerWith(std::uint32_t version, std::uint32_t dataOffset, std::uint32_t dataLength,
                                     std::size_t answerSize)
{
    std::vector<std::uint8_t> answer(answerSize, 0);
    const auto put = [&](std::size_t offset, std::uint32_t value) {
        for (std::size_t at = 0; at < 4 && offset + at < answer.size(); ++at)
            answer[offset + at] = static_cast<std::uint8_t>(value >> (8 * at));
    };
    put(0, version);
    put(4, 48);
    put(8, 3);
    put(12, 2);
    put(16, 2);
    put(24, dataOffset);
    put(28, dataLength);
    for (std::size_t at = 8 + dataOffset; at < answer.size(); ++at)
        answer[at] = static_cast<std::uint8_t>(at - 8 - dataOffset + 1);
    return answer;
}

TEST(NvmeHealthLogQuery, IsTheProtocolSpecificPropertyQueryForLogPageTwoByteForByte)
{
    const std::vector<std::uint8_t> head = {
        0x32, 0x00, 0x00, 0x00,  // PropertyId: StorageDeviceProtocolSpecificProperty (50)
        0x00, 0x00, 0x00, 0x00,  // QueryType: PropertyStandardQuery
        0x03, 0x00, 0x00, 0x00,  // ProtocolType: ProtocolTypeNvme
        0x02, 0x00, 0x00, 0x00,  // DataType: NVMeDataTypeLogPage
        0x02, 0x00, 0x00, 0x00,  // ProtocolDataRequestValue: SMART / Health Information
        0x00, 0x00, 0x00, 0x00,  // ProtocolDataRequestSubValue: from offset 0 of the log
        0x28, 0x00, 0x00, 0x00,  // ProtocolDataOffset: right after these 40 bytes
        0x00, 0x02, 0x00, 0x00,  // ProtocolDataLength: 512
        0x00, 0x00, 0x00, 0x00,  // FixedProtocolReturnData
        0x00, 0x00, 0x00, 0x00,  // ProtocolDataRequestSubValue2 to 4
        0x00, 0x00, 0x00, 0x00,  //
        0x00, 0x00, 0x00, 0x00,  //
    };
    const NvmeLogQuery query = buildNvmeHealthLogQuery();
    ASSERT_EQ(query.size(), 560u);
    EXPECT_TRUE(std::equal(head.begin(), head.end(), query.begin()));
    EXPECT_TRUE(std::all_of(query.begin() + 48, query.end(), [](std::uint8_t byte) { return byte == 0; }))
        << "the room for the page is zero";
}

TEST(NvmeHealthLogAnswer, GivesThePageAtTheOffsetTheDriverNames)
{
    for (const std::uint32_t dataOffset : {40u, 64u}) {
        const std::optional<NvmeHealthPage> page = healthPageOf(answerWith(48, dataOffset, 512, 8 + dataOffset + 512));
        ASSERT_TRUE(page) << dataOffset;
        EXPECT_EQ((*page)[0], 1) << dataOffset;
        EXPECT_EQ((*page)[511], static_cast<std::uint8_t>(512)) << dataOffset;
    }
}

TEST(NvmeHealthLogAnswer, RefusesAnswersThatDoNotHoldAWholePage)
{
    EXPECT_FALSE(healthPageOf(answerWith(48, 40, 512, 559))) << "one byte short";
    EXPECT_FALSE(healthPageOf(answerWith(48, 40, 511, 560))) << "the driver returned less than a page";
    EXPECT_FALSE(healthPageOf(answerWith(48, 36, 512, 560))) << "data overlapping the protocol data";
    EXPECT_FALSE(healthPageOf(answerWith(48, 0xFFFFFFF0, 512, 560))) << "an offset past the answer";
    EXPECT_FALSE(healthPageOf(answerWith(40, 40, 512, 560))) << "another descriptor version";
    EXPECT_FALSE(healthPageOf(std::vector<std::uint8_t>(47, 0))) << "shorter than the descriptor";
}

} // namespace
} // namespace orvel::windows
