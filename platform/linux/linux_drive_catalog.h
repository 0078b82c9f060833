#pragma once

#include "platform/drive_catalog.h"
#include "platform/linux/sysfs_block_tree.h"

#include <memory>

namespace orvel {

// The machine's drives and volumes from sysfs: whole disks in /sys/block
// (without RAM disks, zram, unattached loop devices and optical drives) and
// their partitions. A drive's number is its disk sequence number.
std::unique_ptr<DriveCatalog> makeLinuxDriveCatalog();

// The same over another device tree (tests give a canned one).
std::unique_ptr<DriveCatalog> makeLinuxDriveCatalog(const sysfs::SystemRoots& roots);

} // namespace orvel
