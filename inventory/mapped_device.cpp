#include "inventory/mapped_device.h"

#include "inventory/drive_inventory.h"

#include <vector>

namespace orvel {

namespace {

// The drive's model and serial number as the system lists them now.
void identifyDrive(Platform& platform, std::uint64_t diskIndex, MappedDevice& device)
{
    std::vector<DiskDriveRow> rows;
    if (platform.drives().listDiskDrives(true, rows) != CatalogStatus::Ok)
        return;
    for (const DiskDriveRow& row : rows) {
        if (row.index != diskIndex)
            continue;
        device.model = row.model.value_or("");
        device.serial = row.serialNumber.value_or("");
        return;
    }
}

} // namespace

MappedDevice mappedDeviceOf(Platform& platform, const DriveInfo& entry)
{
    MappedDevice device;
    device.kind = entry.isPhysical ? MappedDevice::Kind::Drive : MappedDevice::Kind::Volume;
    if (entry.isPhysical) {
        identifyDrive(platform, entry.diskIndex, device);
        return device;
    }
    if (entry.holdingDrive)
        identifyDrive(platform, *entry.holdingDrive, device);
    // Two partitions of one size on one drive are told apart by their place.
    if (entry.partitionNumber && entry.partitionStartBytes)
        device.model += " (partition " + std::to_string(*entry.partitionNumber) + " from byte " +
                        std::to_string(*entry.partitionStartBytes) + ")";
    return device;
}

MappedDevice mappedImageFile(const std::string& path)
{
    MappedDevice device;
    device.kind = MappedDevice::Kind::ImageFile;
    device.path = path;
    return device;
}

} // namespace orvel
