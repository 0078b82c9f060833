#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace orvel {

// The block devices whose sysfs folders are under `sysfsDeviceNumbers`
// (normally /sys/dev/block) that a whole disk `device` carries as
// partitions; empty for a partition or a disk without any.
std::vector<dev_t> partitionsOf(const std::string& sysfsDeviceNumbers, dev_t device);

// What the system has built on `device`, in words an operator knows: the
// devices listed in its sysfs `holders/` (a device-mapper target by its
// name, such as "dm-0 (vg0-home)", a RAID array such as "md127"), and
// "swap" where `swapsText` (the text of /proc/swaps) lists it as active swap.
std::vector<std::string> systemUsersOf(const std::string& sysfsDeviceNumbers, std::string_view swapsText,
                                       dev_t device);

} // namespace orvel
