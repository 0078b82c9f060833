#include "engine/operation_slots.h"

namespace orvel {

std::unique_ptr<DiskDevice> sourceDevice;
std::unique_ptr<DiskDevice> destinationDevice;
std::unique_ptr<CopyJob> currentJob;

std::string sourceName;
std::string destinationName;
std::string logFileName;

void releaseOperationSlots()
{
    currentJob.reset();
    sourceDevice.reset();
    destinationDevice.reset();
}

} // namespace orvel
