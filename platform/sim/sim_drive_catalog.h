#pragma once

#include "platform/drive_catalog.h"
#include "platform/sim/sim_drive.h"

#include <memory>
#include <vector>

namespace orvel {

// Describes the virtual drives that are present, and their volumes, as the
// system describes real ones.
class SimDriveCatalog : public DriveCatalog {
public:
    explicit SimDriveCatalog(std::vector<std::shared_ptr<SimDrive>> drives);

    CatalogStatus listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows) override;
    CatalogStatus listLogicalDisks(std::vector<LogicalDiskRow>& rows) override;
    bool isOpticalDrive(std::string_view caption) override;
    std::optional<OsVersion> osVersion() override;
    // As on Linux: the status says whether the drive runs, and the drive is
    // asked for its verdict.
    bool statusIncludesDriveVerdict() override { return false; }

private:
    std::vector<std::shared_ptr<SimDrive>> drives_;
};

} // namespace orvel
