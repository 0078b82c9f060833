#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// A drive's size in multiples of 1024 with two decimals ("465.76 GB",
// "1.00 MB", "3.50 KB"), computed in single precision as the drive list has
// always shown it; empty below 1024 bytes (an unknown size is 0).
std::string formatDriveSize(std::uint64_t sizeBytes);

// "N/A" when there is no reading (0), else "<degrees> °C".
std::string formatTemperature(std::uint32_t temperatureC);

} // namespace orvel
