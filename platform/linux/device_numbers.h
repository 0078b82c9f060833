#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace orvel {

// The folder of block device `device` in the kernel's list by number, such
// as /sys/dev/block/8:1 (a link to the device's own folder).
std::string deviceNumberFolder(const std::string& sysfsDeviceNumbers, dev_t device);

// "major:minor" as sysfs writes it in a device's `dev` file; nullopt for anything else.
std::optional<dev_t> parseDeviceNumbers(std::string_view text);

} // namespace orvel
