#include "platform/windows/requests/device_paths.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace orvel::windows {

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";
constexpr std::string_view kVerbatimPrefix = "\\\\?\\";
constexpr std::string_view kPhysicalDrive = "PHYSICALDRIVE";

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return upper(a) == upper(b); });
}

std::optional<std::uint32_t> parseDiskNumber(std::string_view digits)
{
    if (digits.empty() || (digits.size() > 1 && digits.front() == '0'))
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (failure != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

bool isDriveLetterName(std::string_view name)
{
    return name.size() == 2 && isAsciiLetter(name[0]) && name[1] == ':';
}

} // namespace

std::optional<std::string> physicalDrivePath(std::string_view number)
{
    if (!parseDiskNumber(number))
        return std::nullopt;
    return std::string(kDeviceNamespace) + std::string(kPhysicalDrive) + std::string(number);
}

std::optional<std::string> volumePath(std::string_view name)
{
    if (!isDriveLetterName(name))
        return std::nullopt;
    return std::string(kDeviceNamespace) + std::string(name);
}

std::optional<std::uint64_t> driveNumberOfPath(std::string_view path)
{
    if (!path.starts_with(kDeviceNamespace))
        return std::nullopt;
    path.remove_prefix(kDeviceNamespace.size());
    if (!startsWithIgnoringCase(path, kPhysicalDrive))
        return std::nullopt;
    return parseDiskNumber(path.substr(kPhysicalDrive.size()));
}

std::optional<std::string> driveRootOf(std::string_view caption)
{
    if (!isDriveLetterName(caption))
        return std::nullopt;
    return std::string(caption) + "\\";
}

bool isFileSystemPath(std::string_view fullPath)
{
    if (fullPath.starts_with(kDeviceNamespace))
        return false;
    if (!fullPath.starts_with(kVerbatimPrefix))
        return !fullPath.empty();
    const std::string_view rest = fullPath.substr(kVerbatimPrefix.size());
    if (startsWithIgnoringCase(rest, "UNC\\"))
        return rest.size() > 4;
    return rest.size() >= 3 && isAsciiLetter(rest[0]) && rest[1] == ':' && rest[2] == '\\';
}

} // namespace orvel::windows
