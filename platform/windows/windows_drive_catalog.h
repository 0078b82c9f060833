#pragma once

#include "platform/drive_catalog.h"

#include <memory>

namespace orvel::windows {

// The machine's drives and volumes as the management service (WMI) lists
// them: Win32_DiskDrive and Win32_LogicalDisk in ROOT\CIMV2, each call on a
// COM apartment of its own.
std::unique_ptr<DriveCatalog> makeWindowsDriveCatalog();

} // namespace orvel::windows
