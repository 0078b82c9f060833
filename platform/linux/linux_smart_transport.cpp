#include "platform/linux/linux_smart_transport.h"

#include "platform/linux/scsi_generic.h"
#include "platform/linux/sysfs_block_tree.h"

#include <utility>

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

private:
    sysfs::SystemRoots roots_;
};

} // namespace

std::unique_ptr<SmartTransport> makeLinuxSmartTransport()
{
    return std::make_unique<LinuxSmartTransport>(sysfs::SystemRoots{});
}

} // namespace orvel
