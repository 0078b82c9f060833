#pragma once

#include "inventory/nvme_health_log.h"
#include "inventory/smart_attribute_slot.h"

#include <cstdint>
#include <optional>
#include <string>

namespace orvel {

// One physical drive or one volume as the inventory reports it. A new record
// has every text empty, every number 0, every attribute slot empty and
// describes a physical drive.
struct DriveInfo {
    std::string caption;
    std::uint64_t sizeBytes = 0;
    std::string deviceName;  // the path the drive or volume opens by
    std::string mediaType;
    std::string serialNumber;
    SmartAttributeTable smartAttributes{};
    // The drive number the device path carries, at full width: on Linux it is
    // the disk sequence number, which exceeds 255, and a cut number would send
    // S.M.A.R.T. commands to another disk.
    std::uint64_t diskIndex = 0;
    std::string model;
    std::string status;
    std::string interfaceType;
    bool isPhysical = true;
    std::uint32_t temperatureC = 0;  // 0: no reading
    // An NVMe drive's health log, read with the S.M.A.R.T. data; an NVMe
    // drive has no attribute table.
    std::optional<NvmeHealthLog> nvmeHealth;
    std::string firmwareRevision;  // read with the serial number, where the system tells it
    // A volume's physical drive, and where on it the volume lies, where the
    // system tells them.
    std::optional<std::uint64_t> holdingDrive;
    std::optional<std::uint32_t> partitionNumber;
    std::optional<std::uint64_t> partitionStartBytes;
};

} // namespace orvel
