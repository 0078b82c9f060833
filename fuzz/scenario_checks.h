#pragma once

#include "fuzz/fuzz_check.h"
#include "platform/sim/sim_drive_setup.h"

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace orvel::fuzz {

inline bool isScenarioVolumeName(const std::string& name)
{
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (name.empty() || !isLetter(name.front()))
        return false;
    for (const char c : name)
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '_')
            return false;
    return true;
}

// What every drive a scenario accepts must be, or the simulated platform
// would serve sectors past the drive's end.
inline void checkScenarioDrive(const SimDriveSetup& setup)
{
    require(!setup.model.empty(), "a drive has a model");
    require(setup.sectorSize == 512 || setup.sectorSize == 4096, "sectors are 512 or 4096 bytes");
    require(setup.sizeBytes > 0 && setup.sizeBytes % setup.sectorSize == 0, "a drive is a whole number of sectors");
    require(setup.interfaceType == "IDE" || setup.interfaceType == "SCSI" || setup.interfaceType == "USB",
            "the interface is IDE, SCSI or USB");
    const std::uint64_t sectors = setup.sizeBytes / setup.sectorSize;
    for (const SimSectorRange& bad : setup.badSectors)
        require(bad.count > 0 && bad.first < sectors && bad.count <= sectors - bad.first,
                "bad sectors lie on the drive");
    std::set<std::string> names;
    for (const SimVolumeSetup& volume : setup.volumes) {
        require(isScenarioVolumeName(volume.name), "a volume name starts with a letter and holds no separators");
        require(names.insert(volume.name).second, "a drive's volume names are unique");
        require(volume.sectorCount > 0 && volume.startSector < sectors
                    && volume.sectorCount <= sectors - volume.startSector,
                "a volume lies on its drive");
    }
    require(setup.imagePath.empty() || std::filesystem::is_regular_file(setup.imagePath), "an image is a file");
}

} // namespace orvel::fuzz
