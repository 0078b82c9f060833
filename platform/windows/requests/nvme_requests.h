#pragma once

#include "platform/smart_transport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvel::windows {

// The byte layouts of IOCTL_STORAGE_QUERY_PROPERTY for an NVMe log page, as
// the storage driver reads them:
//   STORAGE_PROPERTY_QUERY          PropertyId (4), QueryType (4)          =  8 bytes
//   STORAGE_PROTOCOL_SPECIFIC_DATA  ProtocolType, DataType,
//                                   ProtocolDataRequestValue,
//                                   ProtocolDataRequestSubValue,
//                                   ProtocolDataOffset, ProtocolDataLength,
//                                   FixedProtocolReturnData,
//                                   ProtocolDataRequestSubValue2 to 4 (4 each) = 40 bytes
// and the answer:
//   STORAGE_PROTOCOL_DATA_DESCRIPTOR Version (4), Size (4), then the
//                                   STORAGE_PROTOCOL_SPECIFIC_DATA as the driver filled it
// with the data at ProtocolDataOffset from the start of that structure.
inline constexpr std::size_t kPropertyQueryHeaderSize = 8;
inline constexpr std::size_t kProtocolSpecificDataSize = 40;
inline constexpr std::size_t kProtocolDataDescriptorSize = kPropertyQueryHeaderSize + kProtocolSpecificDataSize;
// The request, and the answer, with room for the whole page after the
// protocol data.
inline constexpr std::size_t kNvmeLogQuerySize =
    kPropertyQueryHeaderSize + kProtocolSpecificDataSize + std::tuple_size_v<NvmeHealthPage>;

using NvmeLogQuery = std::array<std::uint8_t, kNvmeLogQuerySize>;

// The query for the SMART / Health Information log (02h) of the drive's
// controller: StorageDeviceProtocolSpecificProperty, a standard query,
// protocol NVMe, data type log page, request value 2, the page right after
// the protocol data. Every other byte is 0.
NvmeLogQuery buildNvmeHealthLogQuery();

// The page in an answer (the bytes the driver returned); nullopt when the
// descriptor is not the one asked for or the page does not lie whole inside
// the answer.
std::optional<NvmeHealthPage> healthPageOf(std::span<const std::uint8_t> answer);

} // namespace orvel::windows
