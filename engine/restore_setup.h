#pragma once

#include "engine/message_box.h"
#include "engine/operation_setup.h"
#include "platform/device_access.h"

#include <optional>
#include <string>

namespace orvel {

struct RestoreRequest {
    std::string imagePath;                  // as chosen; empty when none was
    std::optional<DriveChoice> destination;
};

// The checks of a restore in their fixed order, each failing one shown
// through `messages`; the operator confirms before the destination is
// opened. On success the slots hold the image file (read-only, read in the
// destination's sectors) as the source, the destination opened as a clone's
// is, and a running job; sourceName is the image's path (the caller names
// the destination, as for a clone). On failure the slots are empty and
// nothing was written.
bool setUpRestore(const RestoreRequest& request, DeviceAccess& access, MessageBoxService& messages);

} // namespace orvel
