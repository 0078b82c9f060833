#include "platform/platform.h"
#include "platform/windows/windows_device_access.h"
#include "platform/windows/windows_drive_catalog.h"
#include "platform/windows/windows_smart_transport.h"
#include "platform/windows/windows_system_services.h"

namespace orvel {

namespace {

class WindowsPlatform final : public Platform {
public:
    WindowsPlatform()
        : devices_(std::make_unique<windows::WindowsDeviceAccess>()),
          drives_(windows::makeWindowsDriveCatalog()),
          smart_(windows::makeWindowsSmartTransport()),
          system_(std::make_unique<windows::WindowsSystemServices>())
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
    return std::make_unique<WindowsPlatform>();
}

std::shared_ptr<SystemServices> makeRealSystemServices()
{
    return std::make_shared<windows::WindowsSystemServices>();
}

} // namespace orvel
