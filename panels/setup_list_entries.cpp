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
    // The inventory does not say which drive holds a volume, so only a
    // drive's own number is known.
    if (drive.isPhysical)
        choice.driveNumber = drive.diskIndex;
    return choice;
}

} // namespace orvel
