#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvel {

// Where a partition lies on its disk, as sysfs tells it.
struct PartitionPlace {
    std::uint32_t number = 0;
    std::uint64_t startBytes = 0;
    std::uint64_t lengthBytes = 0;
};

// The partition whose sysfs folder is `folder` (such as
// /sys/class/block/sda1); nullopt for a whole disk or an unreadable folder.
std::optional<PartitionPlace> partitionPlace(const std::string& folder);

} // namespace orvel
