#include "panels/setup_list_entries.h"

#include "engine/setup_rules.h"

namespace orvel {

std::vector<SetupListEntry> setupListEntries(const DriveList& drives, const DriveList& volumeList)
{
    std::vector<SetupListEntry> entries;
    entries.reserve(drives.size() + volumeList.size());
    for (const auto& drive : drives)
        entries.push_back({setupDriveEntryText(drive->model, drive->serialNumber, drive->sizeBytes), drive.get()});
    for (const auto& volume : volumeList)
        entries.push_back({volume->deviceName, volume.get()});
    return entries;
}

DriveChoice driveChoiceOf(const DriveInfo& drive)
{
    DriveChoice choice;
    choice.deviceName = drive.deviceName;
    choice.isPhysical = drive.isPhysical;
    choice.sizeBytes = drive.sizeBytes;
    // A drive's own number, or the drive that holds a volume.
    choice.driveNumber = drive.isPhysical ? std::optional<std::uint64_t>(drive.diskIndex) : drive.holdingDrive;
    return choice;
}

} // namespace orvel
