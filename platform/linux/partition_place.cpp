#include "platform/linux/partition_place.h"

#include "platform/linux/sysfs_block_tree.h"
#include "platform/linux/sysfs_text.h"

#include <limits>

namespace orvel {

namespace {

// sysfs counts a partition's start and size in 512-byte units on every disk.
constexpr std::uint64_t kSysfsUnit = 512;

std::optional<std::uint64_t> bytesAttribute(const std::string& path)
{
    const std::optional<std::string> text = sysfs::readAttribute(path);
    const std::optional<std::uint64_t> units = text ? sysfs::parseUnsigned(*text) : std::nullopt;
    if (!units || *units > std::numeric_limits<std::uint64_t>::max() / kSysfsUnit)
        return std::nullopt;
    return *units * kSysfsUnit;
}

} // namespace

std::optional<PartitionPlace> partitionPlace(const std::string& folder)
{
    // A whole disk has no "partition" attribute; partition numbers start at 1.
    const std::string numberText = sysfs::readAttribute(folder + "/partition").value_or("");
    const std::uint64_t number = sysfs::parseUnsigned(numberText).value_or(0);
    const std::optional<std::uint64_t> start = bytesAttribute(folder + "/start");
    const std::optional<std::uint64_t> length = bytesAttribute(folder + "/size");
    if (number == 0 || number > std::numeric_limits<std::uint32_t>::max() || !start || !length)
        return std::nullopt;
    return PartitionPlace{static_cast<std::uint32_t>(number), start.value(), length.value()};
}

} // namespace orvel
