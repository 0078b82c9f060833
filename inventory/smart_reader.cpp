#include "inventory/smart_reader.h"

#include "inventory/smart_blocks.h"

#include <memory>

namespace orvel {

void ReadSmartData(SmartTransport& transport, std::uint64_t driveNumber, SmartAttributeTable& slots,
                   std::uint32_t& temperatureC)
{
    const std::unique_ptr<SmartDevice> device = transport.openSmartDevice(driveNumber);
    if (!device)
        return;
    if (!device->supportsSmartCommands())
        return;
    if (!device->sendCommand(kSmartEnableOperations))
        return;

    // One buffer serves both reads; the thresholds are asked for even when the
    // attribute data could not be read.
    SmartBlock block{};
    if (device->receiveData(kSmartReadData, block))
        applyAttributeData(block, slots, temperatureC);
    if (device->receiveData(kSmartReadThresholds, block))
        applyThresholds(block, slots);
}

} // namespace orvel
