#pragma once

#include "inventory/drive_info.h"

#include <string>

namespace orvel::cli {

// The `health` command's report of one drive: a heading naming the drive,
// its serial number and firmware where known, its temperature ("N/A"
// without a reading) and status, and its rows as the drive health panel
// shows them (ID, Attribute Name, Current Value, Worst, Threshold, Raw Data)
// in the panel's row order: ATA attributes or NVMe health log fields.
std::string formatHealthText(const DriveInfo& drive);

// The same as a JSON document with the kind of health data ("ata", "nvme"
// or null): ATA attributes with their values as numbers, ID and raw data the
// panel's texts; an NVMe drive's log as decoded values (health_json.h).
std::string formatHealthJson(const DriveInfo& drive);

} // namespace orvel::cli
