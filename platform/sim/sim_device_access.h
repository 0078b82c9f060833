#pragma once

#include "platform/device_access.h"
#include "platform/sim/sim_drive.h"

#include <memory>
#include <vector>

namespace orvel {

// Opens the virtual drives by their position in the list, their volumes by
// name, and image files on the real file system.
class SimDeviceAccess : public DeviceAccess {
public:
    explicit SimDeviceAccess(std::vector<std::shared_ptr<SimDrive>> drives);

    std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) override;
    std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) override;
    std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) override;
    std::optional<std::uint64_t> freeSpace(const std::string& path) override;

private:
    std::vector<std::shared_ptr<SimDrive>> drives_;
};

} // namespace orvel
