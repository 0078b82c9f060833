#include "platform/sim/sim_device_handle.h"

#include "platform/sim/sim_direct_io.h"

#include <cerrno>
#include <utility>

namespace orvel {

SimDeviceHandle::SimDeviceHandle(std::shared_ptr<SimDrive> drive, std::uint64_t driveNumber, OpenMode mode,
                                 std::optional<std::size_t> volume)
    : drive_(std::move(drive)), driveNumber_(driveNumber), mode_(mode), volume_(volume)
{
    const SimDriveSetup& setup = drive_->setup();
    if (volume_) {
        const SimVolumeSetup& window = setup.volumes.at(*volume_);
        windowStart_ = window.startSector * setup.sectorSize;
        windowLength_ = window.sectorCount * setup.sectorSize;
    } else {
        windowLength_ = setup.sizeBytes;
    }
}

std::uint32_t SimDeviceHandle::refusal(std::uint64_t offset, const void* buffer, std::uint32_t bytes,
                                       int pastEndError) const
{
    if (!meetsDirectIoRules(offset, buffer, bytes, drive_->setup().sectorSize))
        return EINVAL;
    if (!fitsInside(offset, bytes, windowLength_))
        return static_cast<std::uint32_t>(pastEndError);
    return 0;
}

IoResult SimDeviceHandle::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    // Reading at or past the end moves fewer bytes than asked, which fails.
    if (const std::uint32_t error = refusal(offset, buffer, bytes, EIO))
        return {false, error};
    if (bytes == 0)
        return {true, 0};
    return drive_->read(windowStart_ + offset, buffer, bytes);
}

IoResult SimDeviceHandle::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    if (mode_ == OpenMode::ReadOnly)
        return {false, EBADF};
    if (const std::uint32_t error = refusal(offset, buffer, bytes, ENOSPC))
        return {false, error};
    if (bytes == 0)
        return {true, 0};
    return drive_->write(windowStart_ + offset, buffer, bytes);
}

bool SimDeviceHandle::queryLength(std::uint64_t& lengthBytes)
{
    if (!drive_->answersLengthQuery())
        return false;
    lengthBytes = windowLength_;
    return true;
}

IoResult SimDeviceHandle::flush()
{
    return drive_->flush();
}

LayoutDeletion SimDeviceHandle::deleteDriveLayout()
{
    const bool deleted = !volume_ && mode_ == OpenMode::ReadWrite && drive_->deleteLayout();
    return deleted ? LayoutDeletion::Deleted : LayoutDeletion::Refused;
}

bool SimDeviceHandle::dismountVolume()
{
    return volume_ && drive_->dismountVolume(*volume_);
}

bool SimDeviceHandle::lockVolume()
{
    // A whole simulated drive has nothing to lock; a resumed copy asks for it.
    if (!volume_)
        return mode_ == OpenMode::ReadWrite;
    return drive_->lockVolume(*volume_);
}

std::optional<VolumeIdentity> SimDeviceHandle::volumeIdentity()
{
    if (!volume_)
        return std::nullopt;
    return VolumeIdentity{driveNumber_, static_cast<std::uint32_t>(*volume_ + 1), windowStart_, windowLength_};
}

} // namespace orvel
