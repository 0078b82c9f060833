#include "support/sim_platform_fixture.h"

#include "support/sim_system_services.h"

#include <cstring>
#include <utility>

namespace orvel::test {

SimPlatform& SimPlatformFixture::make(std::vector<SimDriveSetup> drives)
{
    const std::filesystem::path root = folder_.path();
    platform_ = std::make_unique<SimPlatform>(std::move(drives), root / "cache",
                                              std::make_shared<SimSystemServices>(root / "logs"));
    return *platform_;
}

SimDriveSetup simDrive(std::uint64_t sectors, std::uint32_t sectorSize)
{
    SimDriveSetup setup;
    setup.model = "Test Disk";
    setup.sizeBytes = sectors * sectorSize;
    setup.sectorSize = sectorSize;
    return setup;
}

AlignedBuffer filledBuffer(std::size_t bytes, std::uint8_t fill)
{
    AlignedBuffer buffer(bytes);
    std::memset(buffer.data(), fill, bytes);
    return buffer;
}

} // namespace orvel::test
