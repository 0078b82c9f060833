#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel::windows {

// "\\.\PHYSICALDRIVE<number>" for a drive number as the system numbers its
// disks (decimal digits, no leading zero, within 32 bits); nullopt for any
// other text, so that no name can reach another device.
std::optional<std::string> physicalDrivePath(std::string_view number);

// "\\.\<name>" for a volume named by its drive letter ("D:"); nullopt for
// anything else.
std::optional<std::string> volumePath(std::string_view name);

// The drive number of a path "\\.\PHYSICALDRIVE<number>" (any case).
std::optional<std::uint64_t> driveNumberOfPath(std::string_view path);

// The root folder ("D:\") of a volume caption that is a drive letter.
std::optional<std::string> driveRootOf(std::string_view caption);

// A full path (as GetFullPathNameW gives it) names a file in a file system:
// not a device ("\\.\PHYSICALDRIVE0", "\\.\COM1", "\\.\NUL") nor anything
// else in the system's object space. "\\?\" paths qualify only when they
// lead to a drive letter or a network share.
bool isFileSystemPath(std::string_view fullPath);

} // namespace orvel::windows
