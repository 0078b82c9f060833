#include "cli/drive_arguments.h"

#include "engine/setup_rules.h"
#include "inventory/drive_choice.h"
#include "inventory/drive_inventory.h"

#include <algorithm>

namespace orvel::cli {

namespace {

bool allDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::size_t> physicalDriveNumbered(const std::vector<DriveChoice>& entries, std::uint64_t number)
{
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (entries[at].isPhysical && entries[at].driveNumber == number)
            return at;
    }
    return std::nullopt;
}

std::optional<std::size_t> volumeNamed(const std::vector<DriveChoice>& entries, const std::string& name)
{
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (!entries[at].isPhysical && entries[at].deviceName == name)
            return at;
    }
    return std::nullopt;
}

} // namespace

std::vector<DriveChoice> setupEntries()
{
    std::vector<DriveChoice> entries;
    for (const auto& drive : physicalDrives)
        entries.push_back(driveChoiceOf(*drive));
    for (const auto& volume : volumes)
        entries.push_back(driveChoiceOf(*volume));
    return entries;
}

std::optional<std::size_t> findEntry(const std::vector<DriveChoice>& entries, DeviceAccess& access,
                                     const std::string& argument)
{
    if (allDigits(argument)) {
        for (std::size_t at = 0; at < entries.size(); ++at) {
            if (entries[at].isPhysical && openNameOf(entries[at].deviceName, true) == argument)
                return at;
        }
        return std::nullopt;
    }
    if (const std::optional<std::size_t> volume = volumeNamed(entries, argument))
        return volume;
    constexpr std::string_view kDevPrefix = "/dev/";
    if (argument.starts_with(kDevPrefix)) {
        if (const std::optional<std::size_t> volume = volumeNamed(entries, argument.substr(kDevPrefix.size())))
            return volume;
        if (const std::optional<std::uint64_t> number = access.driveNumberOf(argument))
            return physicalDriveNumbered(entries, *number);
    }
    return std::nullopt;
}

std::string entryCaption(std::size_t index)
{
    if (index < physicalDrives.size())
        return physicalDrives[index]->caption;
    index -= physicalDrives.size();
    return index < volumes.size() ? volumes[index]->caption : std::string();
}

} // namespace orvel::cli
