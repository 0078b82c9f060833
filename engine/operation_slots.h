#pragma once

#include "engine/copy_job.h"
#include "engine/disk_device.h"

#include <memory>
#include <string>

namespace orvel {

// The one operation of the process: filled by the set-up panel (or the command
// line), released by the worker when the operation ends.
extern std::unique_ptr<DiskDevice> sourceDevice;
extern std::unique_ptr<DiskDevice> destinationDevice;
extern std::unique_ptr<CopyJob> currentJob;

// The captions of the chosen source and destination, and the last log's path.
extern std::string sourceName;
extern std::string destinationName;
extern std::string logFileName;

// Releases the job and both devices (closing their handles).
void releaseOperationSlots();

} // namespace orvel
