#include "platform/sim/sim_smart_transport.h"

#include <cstddef>
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
constexpr std::uint8_t kFeatureReturnStatus = 0xDA;
// What SMART RETURN STATUS leaves in the cylinder registers when a threshold
// is exceeded.
constexpr std::uint8_t kExceededCylinderLow = 0xF4;
constexpr std::uint8_t kExceededCylinderHigh = 0x2C;

constexpr std::size_t kFirstEntryOffset = 2;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kEntries = 30;
constexpr std::uint8_t kPreFailureFlag = 0x01;
constexpr std::uint8_t kStatusReady = 0x50;  // DRDY and DSC: done without error

bool isSmartCommand(const AtaRegisters& registers, std::uint8_t feature)
{
    return registers.command == kSmartCommand && registers.features == feature
        && registers.cylinderLow == kSmartCylinderLow && registers.cylinderHigh == kSmartCylinderHigh;
}

// A pre-failure attribute at or below its (nonzero) threshold; thresholds
// pair with attributes by position, as in the drive's own tables.
bool thresholdExceeded(const SmartBlock& data, const SmartBlock& thresholds)
{
    for (std::size_t i = 0; i < kEntries; ++i) {
        const std::uint8_t* entry = data.data() + kFirstEntryOffset + kEntrySize * i;
        const std::uint8_t threshold = thresholds[kFirstEntryOffset + kEntrySize * i + 1];
        const bool preFailure = (entry[1] & kPreFailureFlag) != 0;
        if (entry[0] != 0 && preFailure && threshold != 0 && entry[3] <= threshold)
            return true;
    }
    return false;
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

    bool queryRegisters(const AtaRegisters& registers, AtaRegisters& returned) override
    {
        if (!supportsSmartCommands() || !isSmartCommand(registers, kFeatureReturnStatus))
            return false;
        returned = registers;
        returned.features = 0;
        returned.command = kStatusReady;
        if (data_ && thresholds_ && thresholdExceeded(*data_, *thresholds_)) {
            returned.cylinderLow = kExceededCylinderLow;
            returned.cylinderHigh = kExceededCylinderHigh;
        }
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

std::optional<NvmeHealthPage> SimSmartTransport::readNvmeHealthLog(std::uint64_t driveNumber)
{
    if (driveNumber >= drives_.size() || !drives_[driveNumber]->isPresent())
        return std::nullopt;
    return drives_[driveNumber]->setup().nvmeHealth;
}

} // namespace orvel
