#pragma once

#include "engine/operation_setup.h"
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

// The caption of an entry, as the log names the source and destination.
std::string entryCaption(std::size_t index);

} // namespace orvel::cli
