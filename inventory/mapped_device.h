#pragma once

#include "engine/rescue_map.h"
#include "inventory/drive_info.h"
#include "platform/platform.h"

#include <string>
#include <utility>

namespace orvel {

// A drive or volume of the inventory as a rescue map records it: a drive by
// its model and serial number (read from the system here, since the set-up
// lists are made without them), a volume by those of the drive that holds
// it and its place there (its partition number and start, after the model).
// Sizes and sector sizes are the opened device's, filled in later.
MappedDevice mappedDeviceOf(Platform& platform, const DriveInfo& entry);
// Both sides of a clone, from one listing of the system's drives.
std::pair<MappedDevice, MappedDevice> mappedDevicesOf(Platform& platform, const DriveInfo& source,
                                                      const DriveInfo& destination);

// An image file as a rescue map records it: by its absolute path.
MappedDevice mappedImageFile(const std::string& path);

} // namespace orvel
