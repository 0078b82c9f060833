#include "platform/linux/sysfs_block_tree.h"

#include "platform/linux/block_names.h"
#include "platform/linux/sysfs_text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace orvel::sysfs {

namespace fs = std::filesystem;

namespace {

// sysfs attributes are at most a page; VPD pages a little more.
constexpr std::streamsize kAttributeLimit = 64 * 1024;

template <typename Container>
std::optional<Container> readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    Container content;
    char chunk[4096];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        content.insert(content.end(), chunk, chunk + file.gcount());
        if (static_cast<std::streamsize>(content.size()) > kAttributeLimit)
            return std::nullopt;
    }
    // A read error (EIO from a device-backed attribute) is not content.
    if (file.bad())
        return std::nullopt;
    return content;
}

} // namespace

std::optional<std::string> readAttribute(const std::string& path) { return readFile<std::string>(path); }

std::optional<std::vector<std::uint8_t>> readBinaryAttribute(const std::string& path)
{
    return readFile<std::vector<std::uint8_t>>(path);
}

bool pathExists(const std::string& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

std::optional<std::vector<std::string>> listFolder(const std::string& path)
{
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator entry(path, error), end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    if (error)
        return std::nullopt;
    std::sort(names.begin(), names.end());
    return names;
}

std::string resolvedPath(const std::string& path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? std::string() : resolved.string();
}

std::optional<std::uint64_t> diskSequence(const SystemRoots& roots, const std::string& kernelName)
{
    if (!orvel::isBareKernelName(kernelName))
        return std::nullopt;
    const std::optional<std::string> text = readAttribute(roots.sys + "/block/" + kernelName + "/diskseq");
    return text ? parseUnsigned(*text) : std::nullopt;
}

std::optional<std::string> findDiskBySequence(const SystemRoots& roots, std::uint64_t diskseq)
{
    const std::optional<std::vector<std::string>> disks = listFolder(roots.sys + "/block");
    if (!disks)
        return std::nullopt;
    for (const std::string& name : *disks)
        if (diskSequence(roots, name) == diskseq)
            return name;
    return std::nullopt;
}

} // namespace orvel::sysfs
