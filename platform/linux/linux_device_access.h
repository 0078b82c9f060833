#pragma once

#include "platform/device_access.h"

#include <string>

namespace orvel {

// Drives, volumes and image files of this machine. A drive number is the
// kernel's disk sequence number (diskseq), which never names another disk
// while the system runs; a volume name is a bare kernel name under /dev.
// Only block devices are ever opened as drives or volumes.
class LinuxDeviceAccess final : public DeviceAccess {
public:
    std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) override;
    bool isStoredOn(const std::string& path, DeviceHandle& device) override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) override;
    std::optional<std::uint64_t> driveNumberOf(std::string_view devicePath) override;
};

} // namespace orvel
