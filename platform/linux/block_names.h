#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orvel {

// A kernel block device name such as sda1, nvme0n1p2, loop3 or dm-0: letters,
// digits, '-' and '_' only, so that "/dev/" + name can name nothing outside /dev.
bool isBareKernelName(std::string_view name);

// A drive number: decimal digits only, without a leading zero, within 64 bits.
std::optional<std::uint64_t> parseDriveNumber(std::string_view text);

} // namespace orvel
