#pragma once

#include "cli/command_context.h"
#include "engine/operation_setup.h"
#include "inventory/drive_info.h"
#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace orvel::cli {

// The entries the set-up checks choose from: every physical drive, then every
// volume, as the panels list them (taken from the inventory).
std::vector<DriveChoice> setupEntries();

// The entry a SOURCE or DEST argument names: a drive number, a volume name,
// or a /dev path of a whole disk or a partition.
std::optional<std::size_t> findEntry(const std::vector<DriveChoice>& entries, DeviceAccess& access,
                                     const std::string& argument);

// The inventory's record of an entry.
const DriveInfo& entryRecord(std::size_t index);

// Says on `err` that `name` is no `what` ("drive", "drive or volume") and
// how to list them, with the --demo the operator gave, so that following the
// hint lists the same drives.
void reportUnknownDrive(const CommandContext& context, std::string_view what, const std::string& name);

} // namespace orvel::cli
