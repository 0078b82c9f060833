#include "platform/linux/linux_device_access.h"
#include "platform/linux/linux_drive_catalog.h"
#include "platform/linux/linux_smart_transport.h"
#include "platform/linux/linux_system_services.h"
#include "platform/platform.h"

namespace orvel {

namespace {

class LinuxPlatform final : public Platform {
public:
    LinuxPlatform()
        : devices_(std::make_unique<LinuxDeviceAccess>()),
          drives_(makeLinuxDriveCatalog()),
          smart_(makeLinuxSmartTransport()),
          system_(std::make_unique<LinuxSystemServices>())
    {
    }

    DeviceAccess& devices() override { return *devices_; }
    DriveCatalog& drives() override { return *drives_; }
    SmartTransport& smart() override { return *smart_; }
    SystemServices& system() override { return *system_; }

private:
    std::unique_ptr<DeviceAccess> devices_;
    std::unique_ptr<DriveCatalog> drives_;
    std::unique_ptr<SmartTransport> smart_;
    std::unique_ptr<SystemServices> system_;
};

} // namespace

std::unique_ptr<Platform> makeRealPlatform()
{
    return std::make_unique<LinuxPlatform>();
}

std::shared_ptr<SystemServices> makeRealSystemServices()
{
    return std::make_shared<LinuxSystemServices>();
}

} // namespace orvel
