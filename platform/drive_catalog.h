#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// One physical drive as the system describes it. Every property is text, as
// the system reports it; an absent property is nullopt.
struct DiskDriveRow {
    std::optional<std::string> caption;
    std::optional<std::string> name;  // the device path that names the drive
    std::optional<std::string> size;  // decimal byte count
    // The drive number, at full width: where the system numbers disks beyond
    // 255 a cut number would name another disk.
    std::optional<std::uint64_t> index;
    std::optional<std::string> model;
    std::optional<std::string> mediaType;
    std::optional<std::string> interfaceType;
    std::optional<std::string> status;
    std::optional<std::string> serialNumber;  // read only when asked for
    std::optional<std::string> firmwareRevision;  // read only with the serial number
};

// One volume (logical disk) as the system describes it.
struct LogicalDiskRow {
    std::optional<std::string> caption;
    std::optional<std::string> name;
    std::optional<std::string> size;
    // The number of the physical drive that holds the volume, where known:
    // a drive and its own volume must never be cloned onto each other.
    std::optional<std::uint64_t> driveNumber;
    // Where the volume lies on that drive, so that the volume opened later
    // can be checked to be the one listed.
    std::optional<std::uint32_t> partitionNumber;
    std::optional<std::uint64_t> startBytes;
};

// The system's version as the serial rules compare it (major.minor).
struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

enum class CatalogStatus {
    Ok,
    ServiceFailed,   // the system's drive service could not be reached or queried
    SecurityFailed,  // the call security of the service could not be set
};

// The system's list of drives and volumes.
class DriveCatalog {
public:
    virtual ~DriveCatalog() = default;

    virtual CatalogStatus listDiskDrives(bool withSerialNumbers, std::vector<DiskDriveRow>& rows) = 0;
    virtual CatalogStatus listLogicalDisks(std::vector<LogicalDiskRow>& rows) = 0;
    // A volume caption that names a CD or DVD drive.
    virtual bool isOpticalDrive(std::string_view caption) = 0;
    // Nullopt when the version cannot be read.
    virtual std::optional<OsVersion> osVersion() = 0;
    // The status of a running drive already holds the drive's own verdict on
    // its health (the system asked the drive); otherwise it only tells
    // whether the drive runs, and the inventory asks the drive itself.
    virtual bool statusIncludesDriveVerdict() = 0;
};

} // namespace orvel
