#include "platform/windows/windows_smart_transport.h"

#include "platform/windows/handle_io.h"
#include "platform/windows/requests/control_codes.h"
#include "platform/windows/requests/device_paths.h"
#include "platform/windows/requests/nvme_requests.h"
#include "platform/windows/requests/smart_requests.h"
#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

#include <winioctl.h>

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace orvel::windows {

static_assert(kSmartGetVersion == SMART_GET_VERSION);
static_assert(kSmartSendDriveCommand == SMART_SEND_DRIVE_COMMAND);
static_assert(kSmartReceiveDriveData == SMART_RCV_DRIVE_DATA);
static_assert(kSendCommandInSize == sizeof(SENDCMDINPARAMS));
static_assert(kSendCommandOutSize == sizeof(SENDCMDOUTPARAMS));
static_assert(kGetVersionAnswerSize == sizeof(GETVERSIONINPARAMS));
static_assert(kStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(kPropertyQueryHeaderSize == offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters));
static_assert(kProtocolSpecificDataSize == sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA));
static_assert(kProtocolDataDescriptorSize == sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR));
static_assert(StorageDeviceProtocolSpecificProperty == 50 && ProtocolTypeNvme == 3 && NVMeDataTypeLogPage == 2);
static_assert(kReturnStatusAnswerSize == sizeof(SENDCMDOUTPARAMS) - 1 + sizeof(IDEREGS));

namespace {

class WindowsSmartDevice final : public SmartDevice {
public:
    WindowsSmartDevice(UniqueHandle handle, std::uint8_t driveNumber)
        : handle_(std::move(handle)), driveNumber_(driveNumber)
    {
    }

    bool supportsSmartCommands() override
    {
        std::array<std::uint8_t, kGetVersionAnswerSize> answer{};
        const std::optional<std::size_t> returned = controlRequest(handle_.get(), kSmartGetVersion, {}, answer);
        return returned && reportsSmartCommands(std::span(answer).first(*returned));
    }

    bool sendCommand(const AtaRegisters& registers) override
    {
        const SendCommandIn request = buildSendCommandIn(registers, driveNumber_, 0);
        std::array<std::uint8_t, kSendCommandOutSize> answer{};
        const std::optional<std::size_t> returned =
            controlRequest(handle_.get(), kSmartSendDriveCommand, request, answer);
        return returned && driverStatusClean(std::span(answer).first(*returned));
    }

    bool receiveData(const AtaRegisters& registers, SmartBlock& block) override
    {
        const SendCommandIn request =
            buildSendCommandIn(registers, driveNumber_, static_cast<std::uint32_t>(block.size()));
        std::array<std::uint8_t, kSmartDataAnswerSize> answer{};
        const std::optional<std::size_t> returned =
            controlRequest(handle_.get(), kSmartReceiveDriveData, request, answer);
        if (!returned)
            return false;
        const std::optional<SmartBlock> received = dataBlockOf(std::span(answer).first(*returned));
        if (!received)
            return false;
        block = *received;
        return true;
    }

    bool queryRegisters(const AtaRegisters& registers, AtaRegisters& returned) override
    {
        const SendCommandIn request = buildSendCommandIn(registers, driveNumber_, 0);
        std::array<std::uint8_t, kReturnStatusAnswerSize> answer{};
        const std::optional<std::size_t> answered =
            controlRequest(handle_.get(), kSmartSendDriveCommand, request, answer);
        const std::optional<AtaRegisters> registersBack =
            answered ? returnedRegistersOf(std::span(answer).first(*answered)) : std::nullopt;
        if (!registersBack)
            return false;
        returned = *registersBack;
        return true;
    }

private:
    UniqueHandle handle_;
    std::uint8_t driveNumber_;
};

UniqueHandle openDrive(std::uint64_t driveNumber)
{
    const std::optional<std::string> path = physicalDrivePath(std::to_string(driveNumber));
    const std::optional<std::wstring> widePath = path ? widen(*path) : std::nullopt;
    if (!widePath)
        return UniqueHandle();
    return UniqueHandle(::CreateFileW(widePath->c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_SYSTEM, nullptr));
}

class WindowsSmartTransport final : public SmartTransport {
public:
    std::unique_ptr<SmartDevice> openSmartDevice(std::uint64_t driveNumber) override
    {
        UniqueHandle handle = openDrive(driveNumber);
        if (!handle)
            return nullptr;
        // The register block carries the number in one byte; the device
        // path, not this byte, selects the drive.
        return std::make_unique<WindowsSmartDevice>(std::move(handle), static_cast<std::uint8_t>(driveNumber));
    }

    // The storage driver of an NVMe drive passes the query on as Get Log
    // Page; the driver of any other drive refuses it.
    std::optional<NvmeHealthPage> readNvmeHealthLog(std::uint64_t driveNumber) override
    {
        const UniqueHandle handle = openDrive(driveNumber);
        if (!handle)
            return std::nullopt;
        const NvmeLogQuery query = buildNvmeHealthLogQuery();
        NvmeLogQuery answer{};
        const std::optional<std::size_t> answered = controlRequest(handle.get(), kStorageQueryProperty, query, answer);
        if (!answered)
            return std::nullopt;
        return healthPageOf(std::span(answer).first(*answered));
    }
};

} // namespace

std::unique_ptr<SmartTransport> makeWindowsSmartTransport()
{
    return std::make_unique<WindowsSmartTransport>();
}

} // namespace orvel::windows
