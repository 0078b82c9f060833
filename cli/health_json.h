#pragma once

#include "cli/json_writer.h"
#include "inventory/drive_info.h"

namespace orvel::cli {

// The kind of health data a drive has, as "ata" or "nvme"; null for none.
void writeHealthDataKind(JsonWriter& json, const DriveInfo& drive);

// An NVMe drive's health log as an object of numbers (temperatures in °C,
// null where the drive reports none; the 128-bit counters as decimal
// strings, since a JSON reader's numbers lose digits past 2^53); null for a
// drive without one.
void writeNvmeHealth(JsonWriter& json, const DriveInfo& drive);

} // namespace orvel::cli
