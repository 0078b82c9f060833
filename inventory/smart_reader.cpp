#include "inventory/smart_reader.h"

#include "inventory/smart_blocks.h"

#include <memory>

namespace orvel {

namespace {

constexpr std::uint8_t kWithinThresholdsLow = 0x4F;
constexpr std::uint8_t kWithinThresholdsHigh = 0xC2;
constexpr std::uint8_t kThresholdExceededLow = 0xF4;
constexpr std::uint8_t kThresholdExceededHigh = 0x2C;

} // namespace

SmartVerdict verdictOfReturnedRegisters(const AtaRegisters& returned)
{
    if (returned.cylinderLow == kWithinThresholdsLow && returned.cylinderHigh == kWithinThresholdsHigh)
        return SmartVerdict::WithinThresholds;
    if (returned.cylinderLow == kThresholdExceededLow && returned.cylinderHigh == kThresholdExceededHigh)
        return SmartVerdict::ThresholdExceeded;
    return SmartVerdict::None;
}

SmartVerdict ReadSmartData(SmartTransport& transport, std::uint64_t driveNumber, SmartAttributeTable& slots,
                           std::uint32_t& temperatureC, bool askReturnStatus)
{
    const std::unique_ptr<SmartDevice> device = transport.openSmartDevice(driveNumber);
    if (!device)
        return SmartVerdict::None;
    if (!device->supportsSmartCommands())
        return SmartVerdict::None;
    if (!device->sendCommand(kSmartEnableOperations))
        return SmartVerdict::None;

    // One buffer serves both reads; the thresholds are asked for even when the
    // attribute data could not be read.
    SmartBlock block{};
    if (device->receiveData(kSmartReadData, block))
        applyAttributeData(block, slots, temperatureC);
    if (device->receiveData(kSmartReadThresholds, block))
        applyThresholds(block, slots);

    AtaRegisters returned;
    if (!askReturnStatus || !device->queryRegisters(kSmartReturnStatus, returned))
        return SmartVerdict::None;
    return verdictOfReturnedRegisters(returned);
}

} // namespace orvel
