#include "engine/disk_device.h"

namespace orvel {

namespace {

// The probe's largest attempt: the first length past 64 KiB.
constexpr std::uint32_t kLargestProbe = 65536 + 512;
constexpr std::uint32_t kProbeStep = 512;

bool isAsciiLetter(char c)
{
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

} // namespace

bool openDevice(DiskDevice& device, DeviceAccess& access, std::string_view name, OpenMode mode)
{
    device.name = std::string(name);
    if (name.empty())
        return false;

    std::unique_ptr<DeviceHandle> handle;
    if (name.front() >= '0' && name.front() <= '9') {
        device.kind = DeviceKind::PhysicalDrive;
        handle = access.openPhysicalDrive(name, mode);
    } else if (isAsciiLetter(name.front())) {
        device.kind = DeviceKind::Volume;
        handle = access.openVolume(name, mode);
    } else {
        return false;
    }
    if (!handle)
        return false;

    device.handle = std::move(handle);
    if (!probeSectorSize(device, *device.handle))
        return false;

    std::uint64_t lengthBytes = 0;
    queryLength(device, lengthBytes);
    device.endSector = lengthBytes / device.sectorSize;
    return true;
}

bool probeSectorSize(DiskDevice& device, DeviceHandle& handle)
{
    // Direct reads succeed only for whole sectors, so the first length that
    // reads is the sector size.
    for (std::uint32_t length = kProbeStep; length <= kLargestProbe; length += kProbeStep) {
        AlignedBuffer buffer;
        if (!buffer.allocate(length))
            return false;
        if (handle.readAt(0, buffer.data(), length).ok) {
            device.sectorSize = length;
            return true;
        }
    }
    return false;
}

bool queryLength(DiskDevice& device, std::uint64_t& lengthBytes)
{
    if (!device.handle)
        return false;
    if (device.kind != DeviceKind::PhysicalDrive && device.kind != DeviceKind::Volume)
        return false;
    return device.handle->queryLength(lengthBytes);
}

void noteFailure(DiskDevice& device, const IoResult& result)
{
    device.lastError = result.error;
    device.deviceLost = result.deviceLost;
}

bool readSectors(DiskDevice& device, DeviceHandle* handle, std::uint64_t sector, void* buffer, std::uint32_t bytes)
{
    if (handle == nullptr)
        return false;
    const IoResult result = handle->readAt(sector * device.sectorSize, buffer, bytes);
    if (!result.ok)
        noteFailure(device, result);
    return result.ok;
}

bool writeSectors(DiskDevice& device, DeviceHandle* handle, const void* buffer, std::uint32_t bytes, std::uint64_t sector)
{
    if (handle == nullptr)
        return false;
    const IoResult result = handle->writeAt(sector * device.sectorSize, buffer, bytes);
    if (!result.ok)
        noteFailure(device, result);
    return result.ok;
}

} // namespace orvel
