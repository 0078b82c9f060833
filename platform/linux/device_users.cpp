#include "platform/linux/device_users.h"

#include "platform/linux/device_numbers.h"
#include "platform/linux/mountinfo.h"
#include "platform/linux/sysfs_block_tree.h"
#include "platform/linux/sysfs_text.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace orvel {

namespace {

bool isActiveSwap(std::string_view swapsText, dev_t device)
{
    bool header = true;
    while (!swapsText.empty()) {
        const std::size_t end = swapsText.find('\n');
        const std::string_view line = swapsText.substr(0, end);
        swapsText = end == std::string_view::npos ? std::string_view() : swapsText.substr(end + 1);
        if (header) {
            header = false;
            continue;
        }
        const std::string path = unescapeMountField(line.substr(0, line.find_first_of(" \t")));
        struct stat status {};
        if (::stat(path.c_str(), &status) == 0 && S_ISBLK(status.st_mode) && status.st_rdev == device)
            return true;
    }
    return false;
}

} // namespace

std::vector<dev_t> partitionsOf(const std::string& sysfsDeviceNumbers, dev_t device)
{
    const std::string folder = deviceNumberFolder(sysfsDeviceNumbers, device);
    std::vector<dev_t> partitions;
    if (sysfs::pathExists(folder + "/partition"))
        return partitions;
    for (const std::string& name : sysfs::listFolder(folder).value_or(std::vector<std::string>{})) {
        const std::string child = folder + "/" + name;
        const std::optional<dev_t> partition = parseDeviceNumbers(sysfs::readAttribute(child + "/dev").value_or(""));
        if (sysfs::pathExists(child + "/partition") && partition)
            partitions.push_back(*partition);
    }
    return partitions;
}

std::vector<std::string> systemUsersOf(const std::string& sysfsDeviceNumbers, std::string_view swapsText,
                                       dev_t device)
{
    std::vector<std::string> users;
    const std::string folder = deviceNumberFolder(sysfsDeviceNumbers, device);
    for (const std::string& holder : sysfs::listFolder(folder + "/holders").value_or(std::vector<std::string>{})) {
        const std::string mapperName =
            sysfs::trimAttribute(sysfs::readAttribute(folder + "/holders/" + holder + "/dm/name").value_or(""));
        users.push_back(mapperName.empty() ? holder : holder + " (" + mapperName + ")");
    }
    if (isActiveSwap(swapsText, device))
        users.emplace_back("swap");
    return users;
}

} // namespace orvel
