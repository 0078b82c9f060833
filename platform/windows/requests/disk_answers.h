#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvel::windows {

// GET_LENGTH_INFORMATION: the length as one signed 64-bit value.
inline constexpr std::size_t kLengthInfoSize = 8;
// PARTITION_INFORMATION: starting offset, partition length (both signed
// 64-bit), then numbers and flags, 32 bytes in all.
inline constexpr std::size_t kPartitionInfoSize = 32;

// The byte length in an IOCTL_DISK_GET_LENGTH_INFO answer (the bytes the
// driver returned); nullopt when the answer is short or the length negative.
std::optional<std::uint64_t> lengthOfLengthInfo(std::span<const std::uint8_t> answer);

// The partition length in an IOCTL_DISK_GET_PARTITION_INFO answer.
std::optional<std::uint64_t> lengthOfPartitionInfo(std::span<const std::uint8_t> answer);

} // namespace orvel::windows
