#include "inventory/mapped_device.h"

#include "inventory/drive_inventory.h"

#include <vector>

namespace orvel {

namespace {

// The system's drives as they are listed now, with their serial numbers.
std::vector<DiskDriveRow> listedDrives(Platform& platform)
{
    std::vector<DiskDriveRow> rows;
    if (platform.drives().listDiskDrives(true, rows) != CatalogStatus::Ok)
        rows.clear();
    return rows;
}

void identifyDrive(const std::vector<DiskDriveRow>& drives, std::uint64_t diskIndex, MappedDevice& device)
{
    for (const DiskDriveRow& row : drives) {
        if (row.index != diskIndex)
            continue;
        device.model = row.model.value_or("");
        device.serial = row.serialNumber.value_or("");
        return;
    }
}

MappedDevice mappedFrom(const std::vector<DiskDriveRow>& drives, const DriveInfo& entry)
{
    MappedDevice device;
    device.kind = entry.isPhysical ? MappedDevice::Kind::Drive : MappedDevice::Kind::Volume;
    if (entry.isPhysical) {
        identifyDrive(drives, entry.diskIndex, device);
        return device;
    }
    if (entry.holdingDrive)
        identifyDrive(drives, *entry.holdingDrive, device);
    // Two partitions of one size on one drive are told apart by their place.
    if (entry.partitionNumber && entry.partitionStartBytes)
        device.model += " (partition " + std::to_string(*entry.partitionNumber) + " from byte " +
                        std::to_string(*entry.partitionStartBytes) + ")";
    return device;
}

} // namespace

MappedDevice mappedDeviceOf(Platform& platform, const DriveInfo& entry)
{
    return mappedFrom(listedDrives(platform), entry);
}

std::pair<MappedDevice, MappedDevice> mappedDevicesOf(Platform& platform, const DriveInfo& source,
                                                      const DriveInfo& destination)
{
    const std::vector<DiskDriveRow> drives = listedDrives(platform);
    return {mappedFrom(drives, source), mappedFrom(drives, destination)};
}

MappedDevice mappedImageFile(const std::string& path)
{
    MappedDevice device;
    device.kind = MappedDevice::Kind::ImageFile;
    device.path = path;
    return device;
}

} // namespace orvel
