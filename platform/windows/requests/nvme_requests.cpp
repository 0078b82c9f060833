#include "platform/windows/requests/nvme_requests.h"

#include <algorithm>

namespace orvel::windows {

namespace {

constexpr std::uint32_t kStorageDeviceProtocolSpecificProperty = 50;
constexpr std::uint32_t kPropertyStandardQuery = 0;
constexpr std::uint32_t kProtocolTypeNvme = 3;
constexpr std::uint32_t kNvmeDataTypeLogPage = 2;
constexpr std::uint32_t kHealthInformationLog = 0x02;

// Offsets inside STORAGE_PROTOCOL_SPECIFIC_DATA.
constexpr std::size_t kProtocolTypeOffset = 0;
constexpr std::size_t kDataTypeOffset = 4;
constexpr std::size_t kRequestValueOffset = 8;
constexpr std::size_t kDataOffsetOffset = 16;
constexpr std::size_t kDataLengthOffset = 20;

constexpr std::size_t kPageSize = std::tuple_size_v<NvmeHealthPage>;

void putLittleEndian32(NvmeLogQuery& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t at = 0; at < 4; ++at)
        bytes[offset + at] = static_cast<std::uint8_t>(value >> (8 * at));
}

std::uint32_t littleEndian32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

} // namespace

NvmeLogQuery buildNvmeHealthLogQuery()
{
    NvmeLogQuery query{};
    putLittleEndian32(query, 0, kStorageDeviceProtocolSpecificProperty);
    putLittleEndian32(query, 4, kPropertyStandardQuery);
    const std::size_t protocol = kPropertyQueryHeaderSize;
    putLittleEndian32(query, protocol + kProtocolTypeOffset, kProtocolTypeNvme);
    putLittleEndian32(query, protocol + kDataTypeOffset, kNvmeDataTypeLogPage);
    putLittleEndian32(query, protocol + kRequestValueOffset, kHealthInformationLog);
    putLittleEndian32(query, protocol + kDataOffsetOffset, kProtocolSpecificDataSize);
    putLittleEndian32(query, protocol + kDataLengthOffset, kPageSize);
    return query;
}

std::optional<NvmeHealthPage> healthPageOf(std::span<const std::uint8_t> answer)
{
    if (answer.size() < kProtocolDataDescriptorSize)
        return std::nullopt;
    const std::uint32_t version = littleEndian32(answer, 0);
    const std::uint32_t size = littleEndian32(answer, 4);
    if (version != kProtocolDataDescriptorSize || size < kProtocolDataDescriptorSize)
        return std::nullopt;
    const std::size_t protocol = kPropertyQueryHeaderSize;
    const std::uint32_t dataOffset = littleEndian32(answer, protocol + kDataOffsetOffset);
    const std::uint32_t dataLength = littleEndian32(answer, protocol + kDataLengthOffset);
    if (dataOffset < kProtocolSpecificDataSize || dataLength < kPageSize)
        return std::nullopt;
    const std::size_t start = protocol + dataOffset;
    if (start > answer.size() || answer.size() - start < kPageSize)
        return std::nullopt;
    NvmeHealthPage page{};
    std::copy_n(answer.begin() + static_cast<std::ptrdiff_t>(start), kPageSize, page.begin());
    return page;
}

} // namespace orvel::windows
