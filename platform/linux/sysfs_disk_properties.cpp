#include "platform/linux/sysfs_disk_properties.h"

#include "platform/linux/sysfs_text.h"

#include <cstddef>

namespace orvel::sysfs {

namespace {

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// A name made of `prefix` and a number, such as "loop3" or "usb2".
bool isNumbered(std::string_view name, std::string_view prefix)
{
    return name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
           isDigits(name.substr(prefix.size()));
}

bool hasNumberedComponent(std::string_view path, std::string_view prefix)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (isNumbered(path.substr(start, end - start), prefix))
            return true;
        start = end + 1;
    }
    return false;
}

std::string lastPathComponent(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string trimmedOrEmpty(const std::optional<std::string>& text)
{
    return text ? trimAttribute(*text) : std::string();
}

} // namespace

DiskKind classifyDiskName(std::string_view kernelName)
{
    if (isNumbered(kernelName, "ram"))
        return DiskKind::Ram;
    if (isNumbered(kernelName, "zram"))
        return DiskKind::Zram;
    if (isNumbered(kernelName, "loop"))
        return DiskKind::Loop;
    if (isNumbered(kernelName, "sr"))
        return DiskKind::Optical;
    return DiskKind::Disk;
}

std::string interfaceTypeFromPath(std::string_view resolvedPath)
{
    if (hasNumberedComponent(resolvedPath, "usb"))
        return "USB";
    if (hasNumberedComponent(resolvedPath, "ata"))
        return "IDE";
    return "SCSI";
}

std::string mediaTypeFor(bool removable, std::string_view interfaceType)
{
    if (removable)
        return "Removable Media";
    if (interfaceType == "USB")
        return "External hard disk media";
    return "Fixed hard disk media";
}

std::string statusFromDeviceState(const std::optional<std::string>& state)
{
    if (!state)
        return "OK";
    const std::string value = trimAttribute(*state);
    return (value == "running" || value == "live") ? "OK" : "Error";
}

std::string modelText(const DiskIdentity& identity)
{
    const std::string ataModel = trimmedOrEmpty(identity.ataModel);
    if (!ataModel.empty())
        return ataModel;

    // libata puts the placeholder vendor "ATA" before every SATA disk's model.
    const std::string model = trimmedOrEmpty(identity.model);
    const std::string vendor = trimmedOrEmpty(identity.vendor);
    if (!model.empty())
        return (vendor.empty() || vendor == "ATA") ? model : vendor + " " + model;

    const std::string backingFile = trimmedOrEmpty(identity.loopBackingFile);
    if (!backingFile.empty())
        return "Loop device " + lastPathComponent(backingFile);
    if (identity.isVirtio)
        return "Virtual disk " + identity.kernelName;
    return "Disk " + identity.kernelName;
}

} // namespace orvel::sysfs
