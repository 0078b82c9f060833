#include "platform/linux/sysfs_vpd.h"

#include "platform/linux/sysfs_text.h"

#include <algorithm>
#include <cstddef>

namespace orvel::sysfs {

namespace {

constexpr std::size_t kPageHeaderSize = 4;
constexpr std::uint8_t kUnitSerialPageCode = 0x80;
constexpr std::uint8_t kAtaInformationPageCode = 0x89;

// In the ATA information page the IDENTIFY DEVICE data starts at byte 60;
// in it the model is words 27 to 46, each word's two characters exchanged.
constexpr std::size_t kIdentifyOffset = 60;
constexpr std::size_t kIdentifySize = 512;
constexpr std::size_t kModelOffset = 27 * 2;
constexpr std::size_t kModelSize = 40;

std::optional<std::string> nonEmpty(std::string text)
{
    if (text.empty())
        return std::nullopt;
    return text;
}

} // namespace

std::optional<std::string> parseUnitSerialPage(std::span<const std::uint8_t> page)
{
    if (page.size() < kPageHeaderSize || page[1] != kUnitSerialPageCode)
        return std::nullopt;
    const std::size_t declared = (static_cast<std::size_t>(page[2]) << 8) | page[3];
    const std::size_t length = std::min(declared, page.size() - kPageHeaderSize);
    const auto serial = page.subspan(kPageHeaderSize, length);
    return nonEmpty(trimAttribute(std::string(serial.begin(), serial.end())));
}

std::optional<std::string> parseAtaInformationModel(std::span<const std::uint8_t> page)
{
    if (page.size() < kIdentifyOffset + kIdentifySize || page[1] != kAtaInformationPageCode)
        return std::nullopt;
    const auto model = page.subspan(kIdentifyOffset + kModelOffset, kModelSize);
    std::string text;
    for (std::size_t i = 0; i + 1 < model.size(); i += 2) {
        text.push_back(static_cast<char>(model[i + 1]));
        text.push_back(static_cast<char>(model[i]));
    }
    return nonEmpty(trimAttribute(text));
}

} // namespace orvel::sysfs
