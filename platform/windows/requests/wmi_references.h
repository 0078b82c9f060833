#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel::windows {

// The key value of a WMI object path, such as C: in
// \\HOST\ROOT\CIMV2:Win32_LogicalDisk.DeviceID="C:"; escaped backslashes and
// quotes inside it are undone. Nullopt for a path without a quoted key.
std::optional<std::string> keyValueOf(std::string_view objectPath);

// The disk number of a partition's key ("Disk #1, Partition #0").
std::optional<std::uint64_t> diskNumberOfPartitionKey(std::string_view key);

} // namespace orvel::windows
