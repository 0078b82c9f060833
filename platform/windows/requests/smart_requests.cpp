#include "platform/windows/requests/smart_requests.h"

#include "platform/little_endian.h"

#include <algorithm>

namespace orvel::windows {

namespace {

constexpr std::size_t kRegistersOffset = 4;
constexpr std::size_t kDriveNumberOffset = 12;
constexpr std::size_t kDriverErrorOffset = 4;
constexpr std::size_t kCapabilitiesOffset = 4;
constexpr std::uint32_t kCapSmartCommands = 0x4;

} // namespace

SendCommandIn buildSendCommandIn(const AtaRegisters& registers, std::uint8_t driveNumber, std::uint32_t dataBytes)
{
    SendCommandIn request{};
    for (std::size_t at = 0; at < 4; ++at)
        request[at] = static_cast<std::uint8_t>(dataBytes >> (8 * at));
    const std::array<std::uint8_t, 7> taskFile = {registers.features,     registers.sectorCount,
                                                  registers.sectorNumber, registers.cylinderLow,
                                                  registers.cylinderHigh, registers.driveHead,
                                                  registers.command};
    std::copy(taskFile.begin(), taskFile.end(), request.begin() + kRegistersOffset);
    request[kDriveNumberOffset] = driveNumber;
    return request;
}

bool reportsSmartCommands(std::span<const std::uint8_t> answer)
{
    if (answer.size() < kCapabilitiesOffset + 4)
        return false;
    return (readLittleEndian<std::uint32_t>(answer, kCapabilitiesOffset) & kCapSmartCommands) != 0;
}

bool driverStatusClean(std::span<const std::uint8_t> answer)
{
    return answer.size() >= kSmartAnswerHeaderSize && answer[kDriverErrorOffset] == 0;
}

std::optional<SmartBlock> dataBlockOf(std::span<const std::uint8_t> answer)
{
    SmartBlock block{};
    if (!driverStatusClean(answer) || answer.size() < kSmartAnswerHeaderSize + block.size())
        return std::nullopt;
    const auto data = answer.subspan(kSmartAnswerHeaderSize, block.size());
    std::copy(data.begin(), data.end(), block.begin());
    return block;
}

std::optional<AtaRegisters> returnedRegistersOf(std::span<const std::uint8_t> answer)
{
    if (!driverStatusClean(answer) || answer.size() < kReturnStatusAnswerSize)
        return std::nullopt;
    const auto registers = answer.subspan(kSmartAnswerHeaderSize);
    return AtaRegisters{registers[0], registers[1], registers[2], registers[3],
                        registers[4], registers[5], registers[6]};
}

} // namespace orvel::windows
