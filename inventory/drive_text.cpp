#include "inventory/drive_text.h"

#include <cstdio>

namespace orvel {

namespace {

constexpr std::uint64_t kKilobyte = std::uint64_t{1} << 10;
constexpr std::uint64_t kMegabyte = std::uint64_t{1} << 20;
constexpr std::uint64_t kGigabyte = std::uint64_t{1} << 30;

std::string formatScaled(float size, float factor, const char* unit)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %s", static_cast<double>(size * factor), unit);
    return text;
}

} // namespace

std::string formatDriveSize(std::uint64_t sizeBytes)
{
    const auto size = static_cast<float>(sizeBytes);
    if (sizeBytes >= kGigabyte)
        return formatScaled(size, 0x1p-30f, "GB");
    if (sizeBytes >= kMegabyte)
        return formatScaled(size, 0x1p-20f, "MB");
    if (sizeBytes >= kKilobyte)
        return formatScaled(size, 0x1p-10f, "KB");
    return {};
}

std::string formatTemperature(std::uint32_t temperatureC)
{
    if (temperatureC == 0)
        return "N/A";
    return std::to_string(temperatureC) + " \u00B0C";
}

} // namespace orvel
