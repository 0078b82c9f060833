#include "platform/linux/storage_overlap.h"

#include "platform/linux/device_numbers.h"
#include "platform/linux/mountinfo.h"
#include "platform/linux/sysfs_block_tree.h"
#include "platform/linux/sysfs_text.h"

#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace orvel {

namespace {

// Stacks of LVM on RAID on encryption are a few levels deep at most; the
// bound only guards against a cycle in a damaged tree.
constexpr int kMaxStackDepth = 16;

std::optional<dev_t> devFileNumbers(const std::string& devFile)
{
    return parseDeviceNumbers(sysfs::readAttribute(devFile).value_or(""));
}

// The whole disk of a partition; the device itself otherwise.
dev_t wholeDiskOf(const std::string& sysfsDeviceNumbers, dev_t device)
{
    const std::string folder = deviceNumberFolder(sysfsDeviceNumbers, device);
    if (!sysfs::pathExists(folder + "/partition"))
        return device;
    return devFileNumbers(folder + "/../dev").value_or(device);
}

// `upper` is `device`, lies on it, or is built on something that does.
bool restsOn(const std::string& sysfsDeviceNumbers, dev_t upper, dev_t device, int depth)
{
    if (upper == device || wholeDiskOf(sysfsDeviceNumbers, upper) == device)
        return true;
    if (depth >= kMaxStackDepth)
        return false;
    const std::string slaves = deviceNumberFolder(sysfsDeviceNumbers, upper) + "/slaves";
    for (const std::string& name : sysfs::listFolder(slaves).value_or(std::vector<std::string>{})) {
        const std::optional<dev_t> lower = devFileNumbers(slaves + "/" + name + "/dev");
        if (lower && restsOn(sysfsDeviceNumbers, *lower, device, depth + 1))
            return true;
    }
    return false;
}

// The block devices a file system with device number `fileSystem` lives on.
// Most report their device's own number; some (btrfs, for one) an anonymous
// one, and then the mount table's source names the device.
std::vector<dev_t> fileSystemDevices(dev_t fileSystem)
{
    if (::major(fileSystem) != 0)
        return {fileSystem};
    std::vector<dev_t> devices;
    for (const MountEntry& mount : readMountTable()) {
        struct stat source {};
        if (::makedev(mount.major, mount.minor) == fileSystem && ::stat(mount.source.c_str(), &source) == 0 &&
            S_ISBLK(source.st_mode))
            devices.push_back(source.st_rdev);
    }
    return devices;
}

bool isLoopBackingFile(const std::string& path, dev_t device, const std::string& sysfsDeviceNumbers)
{
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0)
        return false;
    const std::string backing = sysfs::trimAttribute(
        sysfs::readAttribute(deviceNumberFolder(sysfsDeviceNumbers, wholeDiskOf(sysfsDeviceNumbers, device)) +
                             "/loop/backing_file")
            .value_or(""));
    struct stat backingFile {};
    return !backing.empty() && ::stat(backing.c_str(), &backingFile) == 0 && backingFile.st_dev == file.st_dev &&
           backingFile.st_ino == file.st_ino;
}

} // namespace

bool fileIsStoredOn(const std::string& path, dev_t device, const std::string& sysfsDeviceNumbers)
{
    if (isLoopBackingFile(path, device, sysfsDeviceNumbers))
        return true;
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(path, error).parent_path();
    struct stat folderStatus {};
    if (error || ::stat(folder.c_str(), &folderStatus) != 0)
        return false;
    for (const dev_t holder : fileSystemDevices(folderStatus.st_dev)) {
        if (restsOn(sysfsDeviceNumbers, holder, device, 0))
            return true;
    }
    return false;
}

} // namespace orvel
