#include "platform/linux/device_users.h"

#include "platform/linux/mountinfo.h"
#include "platform/linux/sysfs_block_tree.h"
#include "platform/linux/sysfs_text.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace orvel {

namespace {

std::string folderOf(const std::string& sysfsDeviceNumbers, dev_t device)
{
    return sysfsDeviceNumbers + "/" + std::to_string(::major(device)) + ":" + std::to_string(::minor(device));
}

// "major:minor" as sysfs writes it in a device's `dev` file.
bool parseDeviceNumber(std::string_view text, dev_t& device)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::optional<std::uint64_t> major = sysfs::parseUnsigned(text.substr(0, colon));
    const std::optional<std::uint64_t> minor = sysfs::parseUnsigned(text.substr(colon + 1));
    if (!major || !minor)
        return false;
    device = ::makedev(static_cast<unsigned>(*major), static_cast<unsigned>(*minor));
    return true;
}

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
    const std::string folder = folderOf(sysfsDeviceNumbers, device);
    std::vector<dev_t> partitions;
    if (sysfs::pathExists(folder + "/partition"))
        return partitions;
    for (const std::string& name : sysfs::listFolder(folder).value_or(std::vector<std::string>{})) {
        const std::string child = folder + "/" + name;
        const std::optional<std::string> number = sysfs::readAttribute(child + "/dev");
        dev_t partition = 0;
        if (sysfs::pathExists(child + "/partition") && number && parseDeviceNumber(*number, partition))
            partitions.push_back(partition);
    }
    return partitions;
}

std::vector<std::string> systemUsersOf(const std::string& sysfsDeviceNumbers, std::string_view swapsText,
                                       dev_t device)
{
    std::vector<std::string> users;
    const std::string folder = folderOf(sysfsDeviceNumbers, device);
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
