#include "cli/drive_arguments.h"

#include "engine/setup_rules.h"
#include "inventory/drive_choice.h"
#include "inventory/drive_inventory.h"

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string_view>

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

// A scenario folder with blanks or quotes must survive being pasted into a shell.
std::string shellWord(const std::string& text)
{
    constexpr std::string_view kPlainMarks = "-_=./:,+@%";
    const bool plain = std::all_of(text.begin(), text.end(), [&](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || kPlainMarks.find(c) != std::string_view::npos;
    });
    if (plain)
        return text;
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
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

const DriveInfo& entryRecord(std::size_t index)
{
    if (index < physicalDrives.size())
        return *physicalDrives[index];
    return *volumes.at(index - physicalDrives.size());
}

void reportUnknownDrive(const CommandContext& context, std::string_view what, const std::string& name)
{
    const std::string demo = context.demoArgument.empty() ? "" : shellWord(context.demoArgument) + " ";
    context.err << "No " << what << " \"" << name << "\"; \"orvel-disk-image " << demo << "list\" shows them.\n";
}

} // namespace orvel::cli
