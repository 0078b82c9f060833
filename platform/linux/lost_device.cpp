#include "platform/linux/lost_device.h"

#include "platform/linux/device_numbers.h"
#include "platform/linux/exact_transfer.h"

#include <cerrno>
#include <fstream>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace orvel {

bool blockDeviceEntryGone(const std::string& sysfsDeviceNumbers, dev_t device)
{
    struct stat status {};
    if (::stat(sysfsDeviceNumbers.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return false;
    const std::string entry = deviceNumberFolder(sysfsDeviceNumbers, device);
    return ::access(entry.c_str(), F_OK) != 0 && errno == ENOENT;
}

bool blockDeviceOffline(const std::string& sysfsDeviceNumbers, dev_t device)
{
    const std::string folder = deviceNumberFolder(sysfsDeviceNumbers, device);
    // A partition's folder lies inside its disk's, which has the device link.
    const std::string disk = ::access((folder + "/partition").c_str(), F_OK) == 0 ? folder + "/.." : folder;
    std::ifstream stateFile(disk + "/device/state");
    std::string state;
    std::getline(stateFile, state);
    return state == "offline" || state == "transport-offline" || state == "blocked";
}

IoResult classifyBlockFailure(int fd, IoResult failure, std::uint64_t offset, std::uint32_t bytes,
                              std::uint64_t openedLength)
{
    if (failure.ok || failure.deviceLost)
        return failure;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISBLK(status.st_mode) &&
        (blockDeviceEntryGone(kSysfsDeviceNumbers, status.st_rdev) ||
         blockDeviceOffline(kSysfsDeviceNumbers, status.st_rdev)))
        return {false, ENODEV, true};
    std::uint64_t capacity = 0;
    if (::ioctl(fd, BLKGETSIZE64, &capacity) != 0) {
        const int error = errno;
        if (isLostDeviceError(error))
            return {false, static_cast<std::uint32_t>(error), true};
        return failure;
    }
    const bool shrank = capacity < openedLength;
    if (shrank && (capacity < offset || capacity - offset < bytes))
        return {false, ENOMEDIUM, true};
    return failure;
}

} // namespace orvel
