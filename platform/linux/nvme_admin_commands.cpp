#include "platform/linux/nvme_admin_commands.h"

#include "platform/little_endian.h"
#include "platform/linux/sysfs_text.h"

#include <string_view>

namespace orvel {

namespace {

constexpr std::uint8_t kGetLogPageOpcode = 0x02;
constexpr std::uint8_t kIdentifyOpcode = 0x06;
constexpr std::uint32_t kIdentifyControllerCns = 0x01;

constexpr std::size_t kOpcodeOffset = 0;
constexpr std::size_t kNamespaceOffset = 4;
constexpr std::size_t kAddressOffset = 24;
constexpr std::size_t kDataLengthOffset = 36;
constexpr std::size_t kDword10Offset = 40;
constexpr std::size_t kTimeoutOffset = 64;

// A drive that is failing may take long to answer; a slow answer is still one.
constexpr std::uint32_t kAdminTimeoutMs = 30000;

constexpr std::size_t kSerialOffset = 4;
constexpr std::size_t kSerialLength = 20;
constexpr std::size_t kModelOffset = 24;
constexpr std::size_t kModelLength = 40;
constexpr std::size_t kFirmwareOffset = 64;
constexpr std::size_t kFirmwareLength = 8;

NvmeAdminCommand adminCommand(std::uint8_t opcode, std::uint32_t namespaceId, std::uint64_t bufferAddress,
                              std::uint32_t bytes, std::uint32_t dword10)
{
    NvmeAdminCommand command{};
    command[kOpcodeOffset] = opcode;
    putLittleEndian(command, kNamespaceOffset, namespaceId);
    putLittleEndian(command, kAddressOffset, bufferAddress);
    putLittleEndian(command, kDataLengthOffset, bytes);
    putLittleEndian(command, kDword10Offset, dword10);
    putLittleEndian(command, kTimeoutOffset, kAdminTimeoutMs);
    return command;
}

std::string field(std::span<const std::uint8_t> data, std::size_t offset, std::size_t length)
{
    if (data.size() < offset + length)
        return {};
    const std::string_view text(reinterpret_cast<const char*>(data.data() + offset), length);
    return sysfs::trimAttribute(text);
}

} // namespace

NvmeAdminCommand buildGetLogPage(std::uint8_t logId, std::uint32_t namespaceId, std::uint32_t bytes,
                                 std::uint64_t bufferAddress)
{
    // Dword 10: the log's id in bits 0-7, the number of dwords less one
    // (lower 16 bits) in bits 16-31; dword 11 holds the upper bits, 0 here.
    const std::uint32_t dwordsLessOne = bytes / 4 - 1;
    const std::uint32_t dword10 = logId | ((dwordsLessOne & 0xFFFF) << 16);
    return adminCommand(kGetLogPageOpcode, namespaceId, bufferAddress, bytes, dword10);
}

NvmeAdminCommand buildIdentifyController(std::uint64_t bufferAddress)
{
    return adminCommand(kIdentifyOpcode, 0, bufferAddress, kNvmeIdentifySize, kIdentifyControllerCns);
}

NvmeControllerIdentity parseIdentifyController(std::span<const std::uint8_t> data)
{
    return {field(data, kSerialOffset, kSerialLength), field(data, kModelOffset, kModelLength),
            field(data, kFirmwareOffset, kFirmwareLength)};
}

} // namespace orvel
