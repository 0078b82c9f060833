#pragma once

#include "engine/message_box.h"
#include "platform/device_access.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace orvel {

// One entry of the set-up lists, as the checks need it.
struct DriveChoice {
    std::string deviceName;  // what the inventory reports as the device's name
    bool isPhysical = true;
    std::uint64_t sizeBytes = 0;
    // The drive itself, or for a volume the drive that holds it; nullopt when unknown.
    std::optional<std::uint64_t> driveNumber;
    // A volume as it was listed, so that the volume opened by its name can be
    // checked to be still the same one; nullopt when the system does not tell.
    std::optional<VolumeIdentity> listedVolume;
};

enum class AreaMode { Range, WholeArea, Reverse };

struct CloneRequest {
    std::span<const DriveChoice> entries;  // the same entries in both lists
    std::optional<std::size_t> sourceIndex;
    std::optional<std::size_t> destinationIndex;
    AreaMode mode = AreaMode::Range;
    std::string sourceStartText;
    std::string destinationStartText;
    std::string countText;
    std::int32_t retryAttempts = 2;
};

struct CloneStart {
    bool started = false;
    bool forwardCopy = true;  // the value the panel host keeps for the worker
};

// The checks of a clone in their fixed order, each failing one shown through
// `messages`; the operator confirms before any device is opened. On success
// the operation slots hold the open source (read-only), the destination and a
// running job. On failure the slots are empty and nothing was written.
CloneStart setUpClone(const CloneRequest& request, DeviceAccess& access, MessageBoxService& messages);

struct ImagingRequest {
    std::optional<DriveChoice> source;
    std::string imagePath;               // as chosen; see withImageExtension
    std::uint64_t destinationFreeBytes = 0;  // free bytes where the image goes
    // Asked once the operator has confirmed and the source is open: true
    // keeps an existing image file as it is, for an imaging that goes on from
    // its rescue map. Unset: the image is made anew.
    std::function<bool()> continueExisting = {};
};

// The checks of an imaging operation. The image file is created (or emptied)
// only once the operator has confirmed and the source has opened. On success
// the slots hold the source, the image file as destination and a running job.
bool setUpImaging(const ImagingRequest& request, DeviceAccess& access, MessageBoxService& messages);

} // namespace orvel
