#include "platform/linux/linux_device_access.h"

#include "platform/linux/block_names.h"
#include "platform/linux/device_numbers.h"
#include "platform/linux/linux_block_device.h"
#include "platform/linux/linux_image_file.h"
#include "platform/linux/lost_device.h"
#include "platform/linux/storage_overlap.h"
#include "platform/linux/unique_fd.h"

#include <charconv>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

namespace orvel {

namespace {

int openFlagsFor(OpenMode mode)
{
    const int access = mode == OpenMode::ReadWrite ? O_RDWR : O_RDONLY;
    return access | O_DIRECT | O_CLOEXEC | O_NOCTTY;
}

std::string readFirstLine(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

template <typename Number>
std::optional<Number> parseWhole(std::string_view text)
{
    Number value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

struct WholeDisk {
    std::string kernelName;
    dev_t device = 0;
};

std::optional<WholeDisk> findDiskBySequence(std::uint64_t diskseq)
{
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir("/sys/block"), ::closedir);
    if (!folder)
        return std::nullopt;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (!isBareKernelName(name))
            continue;
        const std::string base = "/sys/block/" + name;
        if (parseWhole<std::uint64_t>(readFirstLine(base + "/diskseq")) != diskseq)
            continue;
        const std::optional<dev_t> device = parseDeviceNumbers(readFirstLine(base + "/dev"));
        if (!device)
            return std::nullopt;
        return WholeDisk{name, *device};
    }
    return std::nullopt;
}

// Opens /dev/<kernelName> when it is a block device (and the expected one,
// when that is known); nothing else is ever opened.
std::unique_ptr<LinuxBlockDevice> openBlockDevice(const std::string& kernelName, OpenMode mode,
                                                  std::optional<dev_t> expectedDevice)
{
    const std::string path = "/dev/" + kernelName;
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0 || !S_ISBLK(before.st_mode))
        return nullptr;
    if (expectedDevice && before.st_rdev != *expectedDevice)
        return nullptr;

    const int flags = openFlagsFor(mode);
    UniqueFd fd(::open(path.c_str(), flags));
    struct stat after {};
    if (!fd || ::fstat(fd.get(), &after) != 0 || !S_ISBLK(after.st_mode) || after.st_rdev != before.st_rdev)
        return nullptr;
    return std::make_unique<LinuxBlockDevice>(std::move(fd), path, flags);
}

} // namespace

std::unique_ptr<DeviceHandle> LinuxDeviceAccess::openPhysicalDrive(std::string_view number, OpenMode mode)
{
    const std::optional<std::uint64_t> diskseq = parseDriveNumber(number);
    if (!diskseq)
        return nullptr;
    const std::optional<WholeDisk> disk = findDiskBySequence(*diskseq);
    if (!disk)
        return nullptr;
    std::unique_ptr<LinuxBlockDevice> device = openBlockDevice(disk->kernelName, mode, disk->device);
    if (!device)
        return nullptr;
    // A loop device can be given new media between the look-up and the
    // open; the descriptor must hold the disk that carries this number.
    std::uint64_t opened = 0;
    if (::ioctl(device->descriptor(), BLKGETDISKSEQ, &opened) != 0 || opened != *diskseq)
        return nullptr;
    return device;
}

std::unique_ptr<DeviceHandle> LinuxDeviceAccess::openVolume(std::string_view name, OpenMode mode)
{
    if (!isBareKernelName(name))
        return nullptr;
    return openBlockDevice(std::string(name), mode, std::nullopt);
}

std::unique_ptr<DeviceHandle> LinuxDeviceAccess::createImageFile(const std::string& path)
{
    return createLinuxImageFile(path);
}

std::unique_ptr<DeviceHandle> LinuxDeviceAccess::openImageFile(const std::string& path)
{
    return openLinuxImageFile(path);
}

std::unique_ptr<DeviceHandle> LinuxDeviceAccess::continueImageFile(const std::string& path)
{
    return continueLinuxImageFile(path);
}

bool LinuxDeviceAccess::isStoredOn(const std::string& path, DeviceHandle& device)
{
    auto* block = dynamic_cast<LinuxBlockDevice*>(&device);
    struct stat status {};
    if (block == nullptr || ::fstat(block->descriptor(), &status) != 0 || !S_ISBLK(status.st_mode))
        return false;
    return fileIsStoredOn(path, status.st_rdev, kSysfsDeviceNumbers);
}

std::optional<std::uint64_t> LinuxDeviceAccess::freeSpace(const std::string& path)
{
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    struct statvfs status {};
    if (::statvfs(folder.c_str(), &status) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(status.f_bavail) * status.f_frsize;
}

std::optional<std::uint64_t> LinuxDeviceAccess::driveNumberOf(std::string_view devicePath)
{
    // The path (or the link it is, such as /dev/disk/by-id/...) must lead to a
    // whole disk's block device; its sysfs entry carries the number.
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(std::filesystem::path(devicePath), error);
    struct stat status {};
    if (error || ::stat(device.c_str(), &status) != 0 || !S_ISBLK(status.st_mode))
        return std::nullopt;
    const std::string kernelName = device.filename();
    if (device.parent_path() != "/dev" || !isBareKernelName(kernelName))
        return std::nullopt;
    const std::string base = "/sys/block/" + kernelName;
    if (parseDeviceNumbers(readFirstLine(base + "/dev")) != status.st_rdev)
        return std::nullopt;
    return parseWhole<std::uint64_t>(readFirstLine(base + "/diskseq"));
}

} // namespace orvel
