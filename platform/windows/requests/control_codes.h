#pragma once

#include <cstdint>

namespace orvel::windows {

// The control codes of the Windows disk and file-system drivers, composed the
// way the driver kit composes them (device type, access, function, method),
// so that they are checked without the Windows headers.
constexpr std::uint32_t controlCode(std::uint32_t deviceType, std::uint32_t function, std::uint32_t method,
                                    std::uint32_t access)
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

inline constexpr std::uint32_t kDeviceTypeDisk = 0x07;
inline constexpr std::uint32_t kDeviceTypeFileSystem = 0x09;
inline constexpr std::uint32_t kDeviceTypeMassStorage = 0x2D;
inline constexpr std::uint32_t kMethodBuffered = 0;
inline constexpr std::uint32_t kAnyAccess = 0;
inline constexpr std::uint32_t kReadAccess = 1;
inline constexpr std::uint32_t kReadWriteAccess = 3;

inline constexpr std::uint32_t kDiskGetLengthInfo = controlCode(kDeviceTypeDisk, 0x17, kMethodBuffered, kReadAccess);
inline constexpr std::uint32_t kDiskGetPartitionInfo = controlCode(kDeviceTypeDisk, 0x01, kMethodBuffered, kReadAccess);
inline constexpr std::uint32_t kDiskDeleteDriveLayout =
    controlCode(kDeviceTypeDisk, 0x40, kMethodBuffered, kReadWriteAccess);
inline constexpr std::uint32_t kLockVolume = controlCode(kDeviceTypeFileSystem, 6, kMethodBuffered, kAnyAccess);
inline constexpr std::uint32_t kDismountVolume = controlCode(kDeviceTypeFileSystem, 8, kMethodBuffered, kAnyAccess);
inline constexpr std::uint32_t kSmartGetVersion = controlCode(kDeviceTypeDisk, 0x20, kMethodBuffered, kReadAccess);
inline constexpr std::uint32_t kSmartSendDriveCommand =
    controlCode(kDeviceTypeDisk, 0x21, kMethodBuffered, kReadWriteAccess);
inline constexpr std::uint32_t kSmartReceiveDriveData =
    controlCode(kDeviceTypeDisk, 0x22, kMethodBuffered, kReadWriteAccess);
inline constexpr std::uint32_t kStorageQueryProperty =
    controlCode(kDeviceTypeMassStorage, 0x500, kMethodBuffered, kAnyAccess);

} // namespace orvel::windows
