#include "platform/sim/sim_smart_transport.h"

#include <optional>
#include <utility>

namespace orvel {
namespace {

// ATA command B0h with the 4Fh/C2h signature in the cylinder registers.
constexpr std::uint8_t kSmartCommand = 0xB0;
constexpr std::uint8_t kSmartCylinderLow = 0x4F;
constexpr std::uint8_t kSmartCylinderHigh = 0xC2;
constexpr std::uint8_t kFeatureReadData = 0xD0;
constexpr std::uint8_t kFeatureReadThresholds = 0xD1;
constexpr std::uint8_t kFeatureEnable = 0xD8;

bool isSmartCommand(const AtaRegisters& registers, std::uint8_t feature)
{
    return registers.command == kSmartCommand && registers.features == feature
        && registers.cylinderLow == kSmartCylinderLow && registers.cylinderHigh == kSmartCylinderHigh;
}

class SimSmartDevice : public SmartDevice {
public:
    SimSmartDevice(std::optional<SmartBlock> data, std::optional<SmartBlock> thresholds)
        : data_(std::move(data)), thresholds_(std::move(thresholds))
    {
    }

    bool supportsSmartCommands() override { return data_ || thresholds_; }

    bool sendCommand(const AtaRegisters& registers) override
    {
        return supportsSmartCommands() && isSmartCommand(registers, kFeatureEnable);
    }

    bool receiveData(const AtaRegisters& registers, SmartBlock& block) override
    {
        const std::optional<SmartBlock>* answer = nullptr;
        if (isSmartCommand(registers, kFeatureReadData))
            answer = &data_;
        else if (isSmartCommand(registers, kFeatureReadThresholds))
            answer = &thresholds_;
        if (answer == nullptr || !answer->has_value())
            return false;
        block = **answer;
        return true;
    }

private:
    std::optional<SmartBlock> data_;
    std::optional<SmartBlock> thresholds_;
};

} // namespace

SimSmartTransport::SimSmartTransport(std::vector<std::shared_ptr<SimDrive>> drives) : drives_(std::move(drives)) {}

std::unique_ptr<SmartDevice> SimSmartTransport::openSmartDevice(std::uint64_t driveNumber)
{
    if (driveNumber >= drives_.size() || !drives_[driveNumber]->isPresent())
        return nullptr;
    const SimDriveSetup& setup = drives_[driveNumber]->setup();
    return std::make_unique<SimSmartDevice>(setup.smartData, setup.smartThresholds);
}

} // namespace orvel
