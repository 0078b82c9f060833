#pragma once

#include "platform/smart_transport.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvel {

// A run of sectors [first, first + count), in the drive's own sector size.
struct SimSectorRange {
    std::uint64_t first = 0;
    std::uint64_t count = 1;
};

// A volume: a window of whole sectors onto its drive, opened by its name.
struct SimVolumeSetup {
    std::string name;
    std::uint64_t startSector = 0;
    std::uint64_t sectorCount = 0;
    // A mounted volume keeps its drive's layout from being deleted until it
    // is dismounted.
    bool mounted = false;
};

// A sector that fails its first `failingReads` reads and then reads.
struct SimFlakySector {
    std::uint64_t sector = 0;
    std::uint32_t failingReads = 1;
};

// Failures that real hardware cannot be made to produce on demand.
struct SimDriveFaults {
    bool lengthQueryFails = false;
    bool allReadsFail = false;
    std::vector<SimFlakySector> flakySectors;
    std::vector<SimSectorRange> failingWrites;
    bool flushFails = false;
    bool dismountFails = false;  // for every volume of the drive
    bool lockFails = false;      // for every volume of the drive
    bool layoutDeletionFails = false;
    // After this many transfers (reads and writes that reach the drive) the
    // drive is gone: transfers fail with ENODEV and it can no longer be opened.
    std::optional<std::uint64_t> disappearAfterTransfers;
};

// One virtual drive.
struct SimDriveSetup {
    std::string model;
    std::string serial;  // empty: the drive reports none
    std::uint64_t sizeBytes = 0;
    std::uint32_t sectorSize = 512;  // 512 or 4096
    std::string interfaceType = "IDE";  // "IDE", "SCSI" or "USB"
    std::string mediaType = "Fixed hard disk media";
    std::string status = "OK";
    std::vector<SimSectorRange> badSectors;  // unreadable on every read
    std::vector<SimVolumeSetup> volumes;
    // The file whose bytes are the drive's content; empty: a sparse file in
    // the platform's cache folder, made on first use and kept.
    std::filesystem::path imagePath;
    // What the drive answers to SMART READ DATA and READ THRESHOLDS; a drive
    // with neither answers no S.M.A.R.T. command. SMART RETURN STATUS is
    // worked out from the two, as drive firmware does.
    std::optional<SmartBlock> smartData;
    std::optional<SmartBlock> smartThresholds;
    // What the drive answers to Get Log Page 02h: a drive with it is an NVMe
    // drive for health purposes.
    std::optional<NvmeHealthPage> nvmeHealth;
    SimDriveFaults faults;
};

} // namespace orvel
