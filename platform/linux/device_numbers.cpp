#include "platform/linux/device_numbers.h"

#include "platform/linux/sysfs_text.h"

#include <limits>
#include <sys/sysmacros.h>

namespace orvel {

std::string deviceNumberFolder(const std::string& sysfsDeviceNumbers, dev_t device)
{
    return sysfsDeviceNumbers + "/" + std::to_string(::major(device)) + ":" + std::to_string(::minor(device));
}

std::optional<dev_t> parseDeviceNumbers(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const std::optional<std::uint64_t> major = sysfs::parseUnsigned(text.substr(0, colon));
    const std::optional<std::uint64_t> minor = sysfs::parseUnsigned(text.substr(colon + 1));
    constexpr std::uint64_t kLimit = std::numeric_limits<unsigned>::max();
    if (!major || !minor || *major > kLimit || *minor > kLimit)
        return std::nullopt;
    return ::makedev(static_cast<unsigned>(*major), static_cast<unsigned>(*minor));
}

} // namespace orvel
