#pragma once

#include <string>
#include <sys/types.h>

namespace orvel {

// Whether a file at `path` would be stored on block device `device`: its
// folder's file system lives on that device, on one of its partitions (when
// it is a whole disk), or on a device built on either (LVM, RAID,
// encryption, followed through sysfs `slaves/`); or the file is the one
// that backs the loop device. Writing such a file overwrites what is being
// read from the device.
bool fileIsStoredOn(const std::string& path, dev_t device, const std::string& sysfsDeviceNumbers);

} // namespace orvel
