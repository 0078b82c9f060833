#pragma once

#include "platform/platform.h"
#include "platform/sim/sim_device_access.h"
#include "platform/sim/sim_drive.h"
#include "platform/sim/sim_drive_catalog.h"
#include "platform/sim/sim_drive_setup.h"
#include "platform/sim/sim_smart_transport.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <vector>

namespace orvel {

// Virtual drives backed by files: the demo mode and the engine's tests.
// Drive numbers are the positions 0, 1, 2 ... in the list of setups. Drives
// without an image get a sparse file in `cacheFolder`, made on first use.
class SimPlatform : public Platform {
public:
    SimPlatform(std::vector<SimDriveSetup> drives, const std::filesystem::path& cacheFolder,
                std::shared_ptr<SystemServices> system);

    DeviceAccess& devices() override { return *devices_; }
    DriveCatalog& drives() override { return *catalog_; }
    SmartTransport& smart() override { return *smart_; }
    SystemServices& system() override { return *system_; }

    // For tests: the live state of drive `number`, with its observation hooks
    // (reads per sector, transfers, events) and disappear().
    std::size_t driveCount() const { return drives_.size(); }
    SimDrive& simulatedDrive(std::size_t number) { return *drives_.at(number); }

private:
    std::vector<std::shared_ptr<SimDrive>> drives_;
    std::unique_ptr<SimDeviceAccess> devices_;
    std::unique_ptr<SimDriveCatalog> catalog_;
    std::unique_ptr<SimSmartTransport> smart_;
    std::shared_ptr<SystemServices> system_;
};

} // namespace orvel
