#pragma once

#include "platform/device_access.h"
#include "platform/sim/sim_drive.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace orvel {

// An open virtual drive, or one of its volumes: a window of whole sectors
// onto the drive. Transfers follow the rules of direct I/O on a real disk.
class SimDeviceHandle : public DeviceHandle {
public:
    // `volume` is the index of the volume in the drive's list; none for the
    // whole drive.
    SimDeviceHandle(std::shared_ptr<SimDrive> drive, std::uint64_t driveNumber, OpenMode mode,
                    std::optional<std::size_t> volume);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;
    LayoutDeletion deleteDriveLayout() override;
    bool dismountVolume() override;
    bool lockVolume() override;
    std::optional<VolumeIdentity> volumeIdentity() override;

private:
    // EINVAL for a transfer the direct-I/O rules refuse, the error of a
    // transfer past the end, 0 when the transfer may reach the drive.
    std::uint32_t refusal(std::uint64_t offset, const void* buffer, std::uint32_t bytes, int pastEndError) const;

    std::shared_ptr<SimDrive> drive_;
    std::uint64_t driveNumber_ = 0;
    OpenMode mode_;
    std::optional<std::size_t> volume_;
    std::uint64_t windowStart_ = 0;   // bytes on the drive
    std::uint64_t windowLength_ = 0;  // bytes
};

} // namespace orvel
