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
        const SimDriveSetup& setup = drives_[number]->setup();
        DiskDriveRow row;
        row.caption = setup.model;
        row.name = "simulated-drive-" + std::to_string(number);
        row.size = std::to_string(setup.sizeBytes);
        row.index = number;
        row.model = setup.model;
        row.mediaType = setup.mediaType;
        row.interfaceType = setup.interfaceType;
        row.status = setup.status;
        if (withSerialNumbers && !setup.serial.empty())
            row.serialNumber = setup.serial;
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
        const SimDriveSetup& setup = drive.setup();
        for (std::size_t index = 0; index < setup.volumes.size(); ++index) {
            const SimVolumeSetup& volume = setup.volumes[index];
            LogicalDiskRow row;
            row.caption = volume.name;
            row.name = volume.name;
            row.size = std::to_string(volume.sectorCount * setup.sectorSize);
            row.driveNumber = number;
            row.partitionNumber = static_cast<std::uint32_t>(index + 1);
            row.startBytes = volume.startSector * setup.sectorSize;
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
