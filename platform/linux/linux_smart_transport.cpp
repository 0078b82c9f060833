#include "platform/linux/linux_smart_transport.h"

#include "platform/linux/nvme_controller.h"
#include "platform/linux/scsi_generic.h"
#include "platform/linux/sysfs_block_tree.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvel {

namespace {

class LinuxSmartDevice final : public SmartDevice {
public:
    explicit LinuxSmartDevice(std::unique_ptr<ScsiGenericDisk> disk) : disk_(std::move(disk)) {}

    bool supportsSmartCommands() override { return disk_->answersScsiGeneric(); }

    bool sendCommand(const AtaRegisters& registers) override
    {
        return disk_->send(buildAtaPassThrough16(registers, AtaProtocol::NonData));
    }

    bool receiveData(const AtaRegisters& registers, SmartBlock& block) override
    {
        SmartBlock answer{};
        const std::optional<std::size_t> received =
            disk_->receive(buildAtaPassThrough16(registers, AtaProtocol::PioDataIn), answer);
        // Only a whole block is an answer; a short one would mix in stale bytes.
        if (received != answer.size())
            return false;
        block = answer;
        return true;
    }

    bool queryRegisters(const AtaRegisters& registers, AtaRegisters& returned) override
    {
        const std::optional<std::vector<std::uint8_t>> sense = disk_->senseOf(buildAtaRegisterQuery16(registers));
        const std::optional<AtaRegisters> answer = sense ? ataRegistersFromSense(*sense) : std::nullopt;
        if (!answer)
            return false;
        returned = *answer;
        return true;
    }

private:
    std::unique_ptr<ScsiGenericDisk> disk_;
};

class LinuxSmartTransport final : public SmartTransport {
public:
    explicit LinuxSmartTransport(sysfs::SystemRoots roots) : roots_(std::move(roots)) {}

    std::unique_ptr<SmartDevice> openSmartDevice(std::uint64_t driveNumber) override
    {
        const std::optional<std::string> kernelName = sysfs::findDiskBySequence(roots_, driveNumber);
        if (!kernelName)
            return nullptr;
        std::unique_ptr<ScsiGenericDisk> disk = ScsiGenericDisk::open(roots_.dev + "/" + *kernelName);
        std::uint64_t openedSequence = 0;
        if (!disk || !disk->diskSequence(openedSequence) || openedSequence != driveNumber)
            return nullptr;
        return std::make_unique<LinuxSmartDevice>(std::move(disk));
    }

    // The log comes from the namespace's controller: admin commands go to
    // the controller's own device, not to the namespace's block device.
    std::optional<NvmeHealthPage> readNvmeHealthLog(std::uint64_t driveNumber) override
    {
        const std::optional<std::string> kernelName = sysfs::findDiskBySequence(roots_, driveNumber);
        const std::optional<std::string> controller =
            kernelName ? findNvmeController(roots_, *kernelName) : std::nullopt;
        if (!controller)
            return std::nullopt;
        const std::unique_ptr<NvmeController> device = NvmeController::open(roots_.dev + "/" + *controller);
        if (!device)
            return std::nullopt;
        return device->readHealthLog();
    }

private:
    sysfs::SystemRoots roots_;
};

} // namespace

std::unique_ptr<SmartTransport> makeLinuxSmartTransport()
{
    return std::make_unique<LinuxSmartTransport>(sysfs::SystemRoots{});
}

} // namespace orvel
