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

} // namespace orvel
