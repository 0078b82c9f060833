#pragma once

#include "platform/device_access.h"
#include "platform/drive_catalog.h"
#include "platform/smart_transport.h"
#include "platform/system_services.h"

#include <memory>

namespace orvel {

// The only door to the operating system. The real platform serves the
// machine's drives; the simulated one serves virtual drives backed by files.
class Platform {
public:
    virtual ~Platform() = default;

    virtual DeviceAccess& devices() = 0;
    virtual DriveCatalog& drives() = 0;
    virtual SmartTransport& smart() = 0;
    virtual SystemServices& system() = 0;
};

// The machine's own drives.
std::unique_ptr<Platform> makeRealPlatform();

// The machine's log folder and single-instance lock, which the simulated
// drives share with the real ones.
std::shared_ptr<SystemServices> makeRealSystemServices();

} // namespace orvel
