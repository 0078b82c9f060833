// The NVMe admin commands as NVME_IOCTL_ADMIN_CMD takes them, byte for byte
// against struct nvme_admin_cmd and the NVMe command layout, and what
// Identify Controller answers.

#include "platform/linux/nvme_admin_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel {
namespace {

constexpr std::uint64_t kBuffer = 0x00007F1234567000;

TEST(NvmeAdminCommand, GetLogPageOfTheHealthLogForAllNamespaces)
{
    const NvmeAdminCommand expected = {
        0x02, 0x00, 0x00, 0x00,                          // opcode Get Log Page, flags, reserved
        0xFF, 0xFF, 0xFF, 0xFF,                          // namespace: all
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // dwords 2 and 3
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // metadata
        0x00, 0x70, 0x56, 0x34, 0x12, 0x7F, 0x00, 0x00,  // data address
        0x00, 0x00, 0x00, 0x00,                          // metadata length
        0x00, 0x02, 0x00, 0x00,                          // data length: 512
        0x02, 0x00, 0x7F, 0x00,                          // dword 10: log 02h, 128 dwords less one
        0x00, 0x00, 0x00, 0x00,                          // dword 11: upper dword count
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // dwords 12 to 15: offset 0
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  //
        0x30, 0x75, 0x00, 0x00,                          // timeout: 30 s
        0x00, 0x00, 0x00, 0x00,                          // result
    };
    EXPECT_EQ(buildGetLogPage(kNvmeHealthLogId, kNvmeAllNamespaces, 512, kBuffer), expected);
}

TEST(NvmeAdminCommand, GetLogPageCountsDwordsLessOne)
{
    const NvmeAdminCommand command = buildGetLogPage(0x01, 1, 4096, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(command.begin() + 40, command.begin() + 44),
              (std::vector<std::uint8_t>{0x01, 0x00, 0xFF, 0x03}));
    EXPECT_EQ(std::vector<std::uint8_t>(command.begin() + 4, command.begin() + 8),
              (std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00}));
}

TEST(NvmeAdminCommand, IdentifyControllerAsksForCnsOneIntoFourKilobytes)
{
    NvmeAdminCommand expected{};
    expected[0] = 0x06;  // Identify
    const std::uint8_t address[] = {0x00, 0x70, 0x56, 0x34, 0x12, 0x7F, 0x00, 0x00};
    std::copy(std::begin(address), std::end(address), expected.begin() + 24);
    expected[37] = 0x10;  // 4096 bytes
    expected[40] = 0x01;  // CNS: the controller
    expected[64] = 0x30;
    expected[65] = 0x75;
    EXPECT_EQ(buildIdentifyController(kBuffer), expected);
}

TEST(NvmeIdentifyController, GivesSerialModelAndFirmwareTrimmed)
{
    std::vector<std::uint8_t> data(kNvmeIdentifySize, 0);
    const auto put = [&](std::size_t offset, const std::string& text) {
        std::copy(text.begin(), text.end(), data.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    put(0, "\x4D\x14\x4D\x14");  // vendor ids: not text
    put(4, "S4EWNX0R123456B     ");
    put(24, "Samsung SSD 970 EVO Plus 1TB            ");
    put(64, "2B2QEXM7");
    const NvmeControllerIdentity identity = parseIdentifyController(data);
    EXPECT_EQ(identity.serialNumber, "S4EWNX0R123456B");
    EXPECT_EQ(identity.model, "Samsung SSD 970 EVO Plus 1TB");
    EXPECT_EQ(identity.firmwareRevision, "2B2QEXM7");

    const NvmeControllerIdentity cut = parseIdentifyController(std::span(data).first(70));
    EXPECT_EQ(cut.model, "Samsung SSD 970 EVO Plus 1TB");
    EXPECT_EQ(cut.firmwareRevision, "") << "a firmware field cut short is no firmware";
}

} // namespace
} // namespace orvel
