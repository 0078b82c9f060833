#pragma once

#include "inventory/drive_info.h"

#include <string>

namespace orvel::cli {

// The `health` command's report of one drive: a heading naming the drive,
// its temperature ("N/A" without a reading), and its attribute table as the
// drive health panel shows it (ID, Attribute Name, Current Value, Worst,
// Threshold, Raw Data) in the panel's row order.
std::string formatHealthText(const DriveInfo& drive);

// The same as a JSON document; values are numbers, ID and raw data the
// panel's texts.
std::string formatHealthJson(const DriveInfo& drive);

} // namespace orvel::cli
