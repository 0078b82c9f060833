#pragma once

#include "engine/operation_setup.h"
#include "inventory/drive_info.h"

namespace orvel {

// What the set-up checks need to know of an inventory record: the panels and
// the command line choose from the same entries.
DriveChoice driveChoiceOf(const DriveInfo& drive);

} // namespace orvel
