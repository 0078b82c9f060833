#pragma once

#include "engine/operation_setup.h"
#include "inventory/drive_choice.h"
#include "inventory/drive_info.h"
#include "inventory/drive_inventory.h"

#include <string>
#include <vector>

namespace orvel {

// One entry of a set-up panel's drive list: its text and the inventory record
// it stands for (valid until ClearInventory).
struct SetupListEntry {
    std::string text;
    const DriveInfo* drive = nullptr;
};

// The physical drives in list order, then the volumes: a drive as its model,
// serial and size, a volume by its device name.
std::vector<SetupListEntry> setupListEntries(const DriveList& drives, const DriveList& volumeList);

} // namespace orvel
