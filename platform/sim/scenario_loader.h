#pragma once

#include "platform/sim/sim_drive_setup.h"

#include <filesystem>
#include <string>
#include <vector>

namespace orvel {

struct ScenarioLoad {
    std::vector<SimDriveSetup> drives;  // drive number = position
    std::string error;  // one message naming the file (and line); empty when the scenario was read
};

// Reads a scenario folder: one sub-folder per drive, taken in name order,
// each with a drive.ini and optionally smart-data.bin and
// smart-thresholds.bin (an ATA drive's answers) or nvme-health.bin (an NVMe
// drive's). Any fault refuses the whole scenario.
ScenarioLoad loadScenario(const std::filesystem::path& folder);

} // namespace orvel
