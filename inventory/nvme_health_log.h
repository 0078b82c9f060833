#pragma once

#include "inventory/uint128.h"
#include "platform/smart_transport.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvel {

// The fields of an NVMe SMART / Health Information log page (log 02h) that
// the drive health panel shows, as the drive reports them. Temperatures are
// in kelvin (0: not reported); counters are the page's 16-byte
// little-endian values, whole.
struct NvmeHealthLog {
    std::uint8_t criticalWarning = 0;  // one bit per condition; any set bit is the drive's failure warning
    std::uint16_t compositeKelvin = 0;
    std::uint8_t availableSpare = 0;  // percent
    std::uint8_t availableSpareThreshold = 0;  // percent
    std::uint8_t percentageUsed = 0;  // may exceed 100
    UInt128 dataUnitsRead;  // thousands of 512-byte units
    UInt128 dataUnitsWritten;
    UInt128 hostReadCommands;
    UInt128 hostWriteCommands;
    UInt128 controllerBusyMinutes;
    UInt128 powerCycles;
    UInt128 powerOnHours;
    UInt128 unsafeShutdowns;
    UInt128 mediaErrors;
    UInt128 errorLogEntries;
    std::uint32_t warningTemperatureMinutes = 0;
    std::uint32_t criticalTemperatureMinutes = 0;
    std::array<std::uint16_t, 8> sensorKelvin{};  // sensors 1 to 8
};

// Where each field lies in the page: the byte offsets the attribute pane
// shows as the rows' IDs.
namespace nvme_offset {
inline constexpr std::size_t kCriticalWarning = 0x00;
inline constexpr std::size_t kCompositeTemperature = 0x01;
inline constexpr std::size_t kAvailableSpare = 0x03;
inline constexpr std::size_t kAvailableSpareThreshold = 0x04;
inline constexpr std::size_t kPercentageUsed = 0x05;
inline constexpr std::size_t kDataUnitsRead = 0x20;
inline constexpr std::size_t kDataUnitsWritten = 0x30;
inline constexpr std::size_t kHostReadCommands = 0x40;
inline constexpr std::size_t kHostWriteCommands = 0x50;
inline constexpr std::size_t kControllerBusyTime = 0x60;
inline constexpr std::size_t kPowerCycles = 0x70;
inline constexpr std::size_t kPowerOnHours = 0x80;
inline constexpr std::size_t kUnsafeShutdowns = 0x90;
inline constexpr std::size_t kMediaErrors = 0xA0;
inline constexpr std::size_t kErrorLogEntries = 0xB0;
inline constexpr std::size_t kWarningTemperatureTime = 0xC0;
inline constexpr std::size_t kCriticalTemperatureTime = 0xC4;
inline constexpr std::size_t kFirstTemperatureSensor = 0xC8;  // eight of 2 bytes each
} // namespace nvme_offset

NvmeHealthLog decodeNvmeHealthLog(const NvmeHealthPage& page);

} // namespace orvel
