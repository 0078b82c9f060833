#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace orvel {

// The ATA task-file registers of one S.M.A.R.T. command.
struct AtaRegisters {
    std::uint8_t features = 0;
    std::uint8_t sectorCount = 0;
    std::uint8_t sectorNumber = 0;
    std::uint8_t cylinderLow = 0;
    std::uint8_t cylinderHigh = 0;
    std::uint8_t driveHead = 0;
    std::uint8_t command = 0;
};

using SmartBlock = std::array<std::uint8_t, 512>;

// The SMART / Health Information log page (log identifier 02h) an NVMe drive
// returns to Get Log Page, exactly as it returns it.
using NvmeHealthPage = std::array<std::uint8_t, 512>;

// A drive opened for S.M.A.R.T. commands; destroying it closes it.
class SmartDevice {
public:
    virtual ~SmartDevice() = default;

    // The drive takes S.M.A.R.T. commands at all.
    virtual bool supportsSmartCommands() = 0;
    // A command without data (enable).
    virtual bool sendCommand(const AtaRegisters& registers) = 0;
    // A command that returns one 512-byte block (read data, read thresholds).
    virtual bool receiveData(const AtaRegisters& registers, SmartBlock& block) = 0;
    // A command without data whose answer is the registers the drive sets
    // (SMART RETURN STATUS). `returned` holds them as the drive left them:
    // error in features, status in command.
    virtual bool queryRegisters(const AtaRegisters& registers, AtaRegisters& returned) = 0;
};

class SmartTransport {
public:
    virtual ~SmartTransport() = default;

    // The drive as the drive catalog numbers it (DiskDriveRow::index); null
    // when it cannot be opened.
    virtual std::unique_ptr<SmartDevice> openSmartDevice(std::uint64_t driveNumber) = 0;

    // The SMART / Health Information log of the drive, numbered as above,
    // for all its namespaces; nullopt when it is no NVMe drive, cannot be
    // opened or does not answer.
    virtual std::optional<NvmeHealthPage> readNvmeHealthLog(std::uint64_t driveNumber) = 0;
};

} // namespace orvel
