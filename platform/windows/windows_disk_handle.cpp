#include "platform/windows/windows_disk_handle.h"

#include "platform/windows/handle_io.h"
#include "platform/windows/requests/control_codes.h"
#include "platform/windows/requests/disk_answers.h"

#include <winioctl.h>

#include <array>
#include <utility>

namespace orvel::windows {

static_assert(kDiskGetLengthInfo == IOCTL_DISK_GET_LENGTH_INFO);
static_assert(kDiskGetPartitionInfo == IOCTL_DISK_GET_PARTITION_INFO);
static_assert(kDiskDeleteDriveLayout == IOCTL_DISK_DELETE_DRIVE_LAYOUT);
static_assert(kDismountVolume == FSCTL_DISMOUNT_VOLUME);
static_assert(kLockVolume == FSCTL_LOCK_VOLUME);
static_assert(kLengthInfoSize == sizeof(GET_LENGTH_INFORMATION));
static_assert(kPartitionInfoSize == sizeof(PARTITION_INFORMATION));

WindowsDiskHandle::WindowsDiskHandle(UniqueHandle handle, Kind kind, OpenMode mode)
    : handle_(std::move(handle)), kind_(kind), mode_(mode)
{
    queryLength(openedLength_);
}

IoResult WindowsDiskHandle::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    return classifyFailure(readExactAt(handle_.get(), offset, buffer, bytes), offset, bytes);
}

IoResult WindowsDiskHandle::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    return classifyFailure(writeExactAt(handle_.get(), offset, buffer, bytes), offset, bytes);
}

IoResult WindowsDiskHandle::classifyFailure(IoResult failure, std::uint64_t offset, std::uint32_t bytes)
{
    if (failure.ok || failure.deviceLost)
        return failure;
    std::uint64_t length = 0;
    if (!queryLength(length)) {
        const DWORD error = ::GetLastError();
        if (isLostDeviceError(error))
            return {false, static_cast<std::uint32_t>(error), true};
        return failure;
    }
    const bool shrank = length < openedLength_;
    if (shrank && (length < offset || length - offset < bytes))
        return {false, ERROR_DEV_NOT_EXIST, true};
    return failure;
}

std::optional<std::uint64_t> WindowsDiskHandle::driveLength()
{
    std::array<std::uint8_t, kLengthInfoSize> answer{};
    const std::optional<std::size_t> returned = controlRequest(handle_.get(), kDiskGetLengthInfo, {}, answer);
    if (!returned)
        return std::nullopt;
    return lengthOfLengthInfo(std::span(answer).first(*returned));
}

std::optional<std::uint64_t> WindowsDiskHandle::partitionLength()
{
    std::array<std::uint8_t, kPartitionInfoSize> answer{};
    const std::optional<std::size_t> returned = controlRequest(handle_.get(), kDiskGetPartitionInfo, {}, answer);
    if (!returned)
        return std::nullopt;
    return lengthOfPartitionInfo(std::span(answer).first(*returned));
}

bool WindowsDiskHandle::queryLength(std::uint64_t& lengthBytes)
{
    std::optional<std::uint64_t> length;
    if (kind_ == Kind::PhysicalDrive) {
        length = driveLength();
    } else {
        // The partition request answers only for partitions of MBR disks; a
        // GPT or dynamic volume would otherwise open as 0 sectors long and
        // copy nothing. Its length request answers for every volume.
        length = partitionLength();
        if (!length)
            length = driveLength();
    }
    if (!length)
        return false;
    lengthBytes = *length;
    return true;
}

IoResult WindowsDiskHandle::flush()
{
    return flushHandle(handle_.get());
}

LayoutDeletion WindowsDiskHandle::deleteDriveLayout()
{
    if (kind_ != Kind::PhysicalDrive || mode_ != OpenMode::ReadWrite)
        return LayoutDeletion::Refused;
    return controlRequest(handle_.get(), kDiskDeleteDriveLayout) ? LayoutDeletion::Deleted : LayoutDeletion::Refused;
}

bool WindowsDiskHandle::dismountVolume()
{
    if (kind_ != Kind::Volume || mode_ != OpenMode::ReadWrite)
        return false;
    // Locked first where the volume allows it (nothing else has files open
    // on it): a dismounted volume that stays locked cannot be mounted again
    // by the next program that touches it while the copy writes. The lock
    // goes with the handle.
    controlRequest(handle_.get(), kLockVolume);
    return controlRequest(handle_.get(), kDismountVolume);
}

bool WindowsDiskHandle::lockVolume()
{
    if (kind_ != Kind::Volume || mode_ != OpenMode::ReadWrite)
        return false;
    return controlRequest(handle_.get(), kLockVolume);
}

} // namespace orvel::windows
