#pragma once

#include "inventory/drive_inventory.h"

#include <string>

namespace orvel::cli {

// The `list` command's report of the inventory: a table of physical drives
// (number, model, serial number, size such as "(465.76 GB)", temperature,
// interface, media type, status) and a table of volumes (name, the drive
// that holds it or "?" where the system does not tell, size).
std::string formatDriveListText(const DriveList& drives, const DriveList& volumeList);

// The same as a JSON document: {"physicalDrives": [...], "volumes": [...]},
// sizes both as byte counts and as the texts above; null for a temperature
// or a volume's drive that is not known. Each drive also carries the kind of
// its health data and an NVMe drive its decoded health log (health_json.h).
std::string formatDriveListJson(const DriveList& drives, const DriveList& volumeList);

// "(465.76 GB)"; empty when the size is too small to show (or unknown).
std::string parenthesisedSize(std::uint64_t sizeBytes);

} // namespace orvel::cli
