#pragma once

#include "platform/aligned_buffer.h"
#include "platform/sim/sim_drive_setup.h"
#include "platform/sim/sim_platform.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace orvel::test {

// Simulated drives for one test, backed by files in a temp folder of its own.
class SimPlatformFixture {
public:
    SimPlatform& make(std::vector<SimDriveSetup> drives);
    SimPlatform& platform() { return *platform_; }
    const TempDir& folder() const { return folder_; }

private:
    TempDir folder_;
    std::unique_ptr<SimPlatform> platform_;
};

// A drive of `sectors` sectors of `sectorSize` bytes and nothing else.
SimDriveSetup simDrive(std::uint64_t sectors, std::uint32_t sectorSize = 512);

// An aligned buffer of `bytes` bytes, each set to `fill`.
AlignedBuffer filledBuffer(std::size_t bytes, std::uint8_t fill);

} // namespace orvel::test
