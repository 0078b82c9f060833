#include "engine/setup_rules.h"

#include <cctype>
#include <cstdio>
#include <limits>

namespace orvel {

std::uint64_t parseSectorNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulate the magnitude as unsigned and saturate at the signed limits.
    constexpr std::uint64_t kPositiveLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    const std::uint64_t limit = negative ? kPositiveLimit + 1 : kPositiveLimit;
    std::uint64_t magnitude = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const std::uint64_t digit = static_cast<std::uint64_t>(text[at] - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    return negative ? static_cast<std::uint64_t>(0) - magnitude : magnitude;
}

std::string misalignedDestinationStartMessage(std::uint32_t sourceSectorSize, std::uint32_t destinationSectorSize,
                                              std::uint64_t destinationStart)
{
    if (sourceSectorSize == 0 || destinationSectorSize <= sourceSectorSize)
        return {};
    const std::uint64_t perSector = destinationSectorSize / sourceSectorSize;
    if (destinationStart % perSector == 0)
        return {};
    return "The destination's sectors are " + std::to_string(destinationSectorSize) +
           " bytes: the destination start must be a multiple of " + std::to_string(perSector) +
           ". Please enter valid destination number.";
}

std::string withImageExtension(std::string path)
{
    constexpr std::string_view kExtension = ".img";
    if (!path.ends_with(kExtension))
        path += kExtension;
    return path;
}

std::string setupEntrySizeText(std::uint64_t sizeBytes)
{
    const float size = static_cast<float>(static_cast<double>(sizeBytes));
    const float gigabytes = size * 0x1p-30f;
    const float megabytes = size * 0x1p-20f;
    char text[64];
    if (gigabytes > 1.0f)
        std::snprintf(text, sizeof text, "(%.2f GB)", static_cast<double>(gigabytes));
    else if (megabytes > 1.0f)
        std::snprintf(text, sizeof text, "(%.2f MB)", static_cast<double>(megabytes));
    else
        std::snprintf(text, sizeof text, "(%.2f KB)", static_cast<double>(size * 0x1p-10f));
    return text;
}

std::string setupDriveEntryText(const std::string& model, const std::string& serialNumber, std::uint64_t sizeBytes)
{
    return model + ":  " + serialNumber + " \r\n" + setupEntrySizeText(sizeBytes);
}

std::string openNameOf(const std::string& deviceName, bool isPhysical)
{
    if (!isPhysical)
        return deviceName;
    std::size_t digitsStart = deviceName.size();
    while (digitsStart > 0 && deviceName[digitsStart - 1] >= '0' && deviceName[digitsStart - 1] <= '9')
        --digitsStart;
    return deviceName.substr(digitsStart);
}

} // namespace orvel
