#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// One line of /proc/self/mountinfo, with the escapes (\040 and the like)
// of its path fields undone.
struct MountEntry {
    std::uint64_t mountId = 0;
    std::uint64_t parentId = 0;
    std::uint32_t major = 0;  // of the mounted file system's device
    std::uint32_t minor = 0;
    std::string root;
    std::string mountPoint;
    std::string fileSystemType;
    std::string source;  // such as /dev/sda1, or what the file system takes instead
};

// Undoes the kernel's octal escapes (a backslash and three octal digits).
std::string unescapeMountField(std::string_view field);

// Null for a line that is not a mountinfo line.
std::optional<MountEntry> parseMountInfoLine(std::string_view line);

// Every well-formed line, in the kernel's order (the order of mounting).
std::vector<MountEntry> parseMountInfo(std::string_view text);

// The current process's mount table; empty when it cannot be read.
std::vector<MountEntry> readMountTable();

// Something else is mounted on top of `mount`, at the same point.
bool isOvermounted(const std::vector<MountEntry>& table, const MountEntry& mount);

// The entry of `table` to unmount next among those `isTarget` picks: the
// latest such mount that nothing is mounted over, so that unmounting its
// path removes that very mount. Null when there is none.
template <typename Predicate>
std::optional<std::size_t> nextMountToRemove(const std::vector<MountEntry>& table, Predicate isTarget)
{
    for (std::size_t index = table.size(); index-- > 0;) {
        if (isTarget(table[index]) && !isOvermounted(table, table[index]))
            return index;
    }
    return std::nullopt;
}

} // namespace orvel
