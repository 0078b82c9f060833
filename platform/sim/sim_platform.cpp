#include "platform/sim/sim_platform.h"

#include <string>
#include <utility>

namespace orvel {

SimPlatform::SimPlatform(std::vector<SimDriveSetup> drives, const std::filesystem::path& cacheFolder,
                         std::shared_ptr<SystemServices> system)
    : system_(std::move(system))
{
    for (std::size_t number = 0; number < drives.size(); ++number) {
        std::filesystem::path backing = drives[number].imagePath;
        if (backing.empty())
            backing = cacheFolder / ("drive" + std::to_string(number) + ".img");
        drives_.push_back(std::make_shared<SimDrive>(std::move(drives[number]), std::move(backing)));
    }
    devices_ = std::make_unique<SimDeviceAccess>(drives_);
    catalog_ = std::make_unique<SimDriveCatalog>(drives_);
    smart_ = std::make_unique<SimSmartTransport>(drives_);
}

} // namespace orvel
