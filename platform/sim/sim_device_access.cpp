#include "platform/sim/sim_device_access.h"

#include "platform/sim/sim_device_handle.h"
#include "platform/sim/sim_image_file.h"

#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

namespace orvel {
namespace {

// The drive number as the system writes it: decimal digits, no sign, no
// leading zero, nothing around them.
std::optional<std::size_t> parseDriveNumber(std::string_view text)
{
    if (text.empty() || (text.size() > 1 && text.front() == '0'))
        return std::nullopt;
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

} // namespace

SimDeviceAccess::SimDeviceAccess(std::vector<std::shared_ptr<SimDrive>> drives) : drives_(std::move(drives)) {}

std::unique_ptr<DeviceHandle> SimDeviceAccess::openPhysicalDrive(std::string_view number, OpenMode mode)
{
    const std::optional<std::size_t> index = parseDriveNumber(number);
    if (!index || *index >= drives_.size() || !drives_[*index]->open())
        return nullptr;
    return std::make_unique<SimDeviceHandle>(drives_[*index], *index, mode, std::nullopt);
}

std::unique_ptr<DeviceHandle> SimDeviceAccess::openVolume(std::string_view name, OpenMode mode)
{
    for (std::size_t number = 0; number < drives_.size(); ++number) {
        const std::shared_ptr<SimDrive>& drive = drives_[number];
        const std::vector<SimVolumeSetup>& volumes = drive->setup().volumes;
        for (std::size_t i = 0; i < volumes.size(); ++i) {
            if (volumes[i].name != name)
                continue;
            if (!drive->open())
                return nullptr;
            return std::make_unique<SimDeviceHandle>(drive, number, mode, i);
        }
    }
    return nullptr;
}

std::unique_ptr<DeviceHandle> SimDeviceAccess::createImageFile(const std::string& path)
{
    return SimImageFile::create(path);
}

std::unique_ptr<DeviceHandle> SimDeviceAccess::openImageFile(const std::string& path)
{
    return SimImageFile::open(path);
}

std::unique_ptr<DeviceHandle> SimDeviceAccess::continueImageFile(const std::string& path)
{
    // The simulated image file opens for writing whenever the file can be written.
    return SimImageFile::open(path);
}

std::optional<std::uint64_t> SimDeviceAccess::freeSpace(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    // Where the folder is missing there is no space to tell (Windows' space()
    // would answer for the nearest folder that exists).
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return std::nullopt;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (error)
        return std::nullopt;
    return space.available;
}

} // namespace orvel
