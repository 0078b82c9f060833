#pragma once

#include "platform/device_access.h"

namespace orvel::windows {

// Drives, volumes and image files of this machine: drive N is
// \\.\PHYSICALDRIVEN, volume D: is \\.\D:, both opened unbuffered for random
// access (read-only for a source).
class WindowsDeviceAccess final : public DeviceAccess {
public:
    std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) override;
    std::optional<std::uint64_t> driveNumberOf(std::string_view devicePath) override;
};

} // namespace orvel::windows
