#include "platform/windows/requests/nvme_requests.h"

#include "platform/little_endian.h"

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

} // namespace

NvmeLogQuery buildNvmeHealthLogQuery()
{
    NvmeLogQuery query{};
    putLittleEndian<std::uint32_t>(query, 0, kStorageDeviceProtocolSpecificProperty);
    putLittleEndian<std::uint32_t>(query, 4, kPropertyStandardQuery);
    const std::size_t protocol = kPropertyQueryHeaderSize;
    putLittleEndian<std::uint32_t>(query, protocol + kProtocolTypeOffset, kProtocolTypeNvme);
    putLittleEndian<std::uint32_t>(query, protocol + kDataTypeOffset, kNvmeDataTypeLogPage);
    putLittleEndian<std::uint32_t>(query, protocol + kRequestValueOffset, kHealthInformationLog);
    putLittleEndian<std::uint32_t>(query, protocol + kDataOffsetOffset, kProtocolSpecificDataSize);
    putLittleEndian<std::uint32_t>(query, protocol + kDataLengthOffset, kPageSize);
    return query;
}

std::optional<NvmeHealthPage> healthPageOf(std::span<const std::uint8_t> answer)
{
    if (answer.size() < kProtocolDataDescriptorSize)
        return std::nullopt;
    const std::uint32_t version = readLittleEndian<std::uint32_t>(answer, 0);
    const std::uint32_t size = readLittleEndian<std::uint32_t>(answer, 4);
    if (version != kProtocolDataDescriptorSize || size < kProtocolDataDescriptorSize)
        return std::nullopt;
    const std::size_t protocol = kPropertyQueryHeaderSize;
    const std::uint32_t dataOffset = readLittleEndian<std::uint32_t>(answer, protocol + kDataOffsetOffset);
    const std::uint32_t dataLength = readLittleEndian<std::uint32_t>(answer, protocol + kDataLengthOffset);
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
