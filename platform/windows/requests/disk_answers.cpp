#include "platform/windows/requests/disk_answers.h"

namespace orvel::windows {

namespace {

constexpr std::size_t kPartitionLengthOffset = 8;

// A LARGE_INTEGER length: little-endian, and never negative for a real device.
std::optional<std::uint64_t> lengthAt(std::span<const std::uint8_t> answer, std::size_t offset)
{
    if (answer.size() < offset + 8)
        return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t at = 0; at < 8; ++at)
        value |= static_cast<std::uint64_t>(answer[offset + at]) << (8 * at);
    if (value >> 63 != 0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::uint64_t> lengthOfLengthInfo(std::span<const std::uint8_t> answer)
{
    return lengthAt(answer, 0);
}

std::optional<std::uint64_t> lengthOfPartitionInfo(std::span<const std::uint8_t> answer)
{
    return lengthAt(answer, kPartitionLengthOffset);
}

} // namespace orvel::windows
