#include "platform/sim/sim_drive_catalog.h"

#include <string>
#include <utility>

namespace orvel {

SimDriveCatalog::SimDriveCatalog(std::vector<std::shared_ptr<SimDrive>> drives) : drives_(std::move(drives)) {}

CatalogStatus SimDriveCatalog::listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows)
{
    for (std::size_t number = 0; number < drives_.size(); ++number) {
        if (!drives_[number]->isPresent())
            continue;
        const SimDriveSpec& spec = drives_[number]->spec();
        DiskDriveRow row;
        row.caption = spec.model;
        row.name = "simulated-drive-" + std::to_string(number);
        row.size = std::to_string(spec.sizeBytes);
        row.index = number;
        row.model = spec.model;
        row.mediaType = spec.mediaType;
        row.interfaceType = spec.interfaceType;
        row.status = spec.status;
        if (withSerialNumbers && !spec.serial.empty())
            row.serialNumber = spec.serial;
        rows.push_back(std::move(row));
    }
    return CatalogStatus::Ok;
}

CatalogStatus SimDriveCatalog::listLogicalDisks(std::vector<LogicalDiskRow>& rows)
{
    for (std::size_t number = 0; number < drives_.size(); ++number) {
        const SimDrive& drive = *drives_[number];
        if (!drive.isPresent())
            continue;
        const SimDriveSpec& spec = drive.spec();
        for (const SimVolumeSpec& volume : spec.volumes) {
            LogicalDiskRow row;
            row.caption = volume.name;
            row.name = volume.name;
            row.size = std::to_string(volume.sectorCount * spec.sectorSize);
            row.driveNumber = number;
            rows.push_back(std::move(row));
        }
    }
    return CatalogStatus::Ok;
}

bool SimDriveCatalog::isOpticalDrive(std::string_view)
{
    return false;
}

std::optional<OsVersion> SimDriveCatalog::osVersion()
{
    return OsVersion{10, 0};
}

} // namespace orvel
