#include "engine/restore_setup.h"

#include "engine/disk_device.h"
#include "engine/operation_slots.h"
#include "engine/setup_rules.h"

#include <memory>

namespace orvel {

namespace {

constexpr const char* kDriveListChangedMessage = "The drive list has changed. Please choose again.";

void inform(MessageBoxService& messages, const char* text)
{
    messages.show({text, "Information", MessageIcon::Information, MessageButtons::Ok});
}

bool refuse(MessageBoxService& messages, const char* text)
{
    messages.show({text, "Error", MessageIcon::Error, MessageButtons::Ok});
    releaseOperationSlots();
    return false;
}

// Opens the destination as the operator chose it: for writing, or, to learn
// its sector size before anything is asked, only for reading. False with the
// refusal shown.
bool openDestination(DiskDevice& device, DeviceAccess& access, const DriveChoice& choice, OpenMode mode,
                     MessageBoxService& messages)
{
    if (!openDevice(device, access, openNameOf(choice.deviceName, choice.isPhysical), mode))
        return refuse(messages, "Failed to open destination disk.");
    // A volume opens by its name, which another disk's partition may have taken since the listing.
    if (!choice.isPhysical && choice.listedVolume && device.handle->volumeIdentity() != choice.listedVolume)
        return refuse(messages, kDriveListChangedMessage);
    return true;
}

} // namespace

bool setUpRestore(const RestoreRequest& request, DeviceAccess& access, MessageBoxService& messages)
{
    if (request.imagePath.empty()) {
        inform(messages, "Please select an image file.");
        return false;
    }
    std::unique_ptr<DeviceHandle> image = access.openImageFile(request.imagePath);
    std::uint64_t imageBytes = 0;
    if (!image || !image->queryLength(imageBytes)) {
        messages.show({"Failed to open image file.", "Error", MessageIcon::Error, MessageButtons::Ok});
        return false;
    }
    if (!request.destination) {
        inform(messages, "Please select a destination drive.");
        return false;
    }
    const DriveChoice& choice = *request.destination;

    releaseOperationSlots();
    // Read-only for now: nothing may be written before the operator confirms.
    destinationDevice = std::make_unique<DiskDevice>();
    if (!openDestination(*destinationDevice, access, choice, OpenMode::ReadOnly, messages))
        return false;
    const std::uint32_t sectorSize = destinationDevice->sectorSize;
    const std::uint64_t destinationBytes = destinationDevice->endSector * sectorSize;
    if (imageBytes == 0 || imageBytes % sectorSize != 0) {
        inform(messages, "The image file's size is not a whole number of sectors.");
        releaseOperationSlots();
        return false;
    }
    if (imageBytes > destinationBytes) {
        inform(messages, "Insufficient space. Please choose other destination.");
        releaseOperationSlots();
        return false;
    }
    if (access.isStoredOn(request.imagePath, *destinationDevice->handle))
        return refuse(messages, "The image file is stored on the destination drive.");
    releaseOperationSlots();
    if (messages.show({"Are you sure for selected image file and destination drive ?", "Confirm",
                       MessageIcon::Question, MessageButtons::YesNo}) != MessageAnswer::Yes)
        return false;

    destinationDevice = std::make_unique<DiskDevice>();
    if (!openDestination(*destinationDevice, access, choice, OpenMode::ReadWrite, messages))
        return false;
    // Another disk under the same name since the checks: its sizes were never checked.
    if (destinationDevice->sectorSize != sectorSize || destinationDevice->endSector * sectorSize != destinationBytes)
        return refuse(messages, kDriveListChangedMessage);

    // The image is read in the destination's sectors, from its first byte to its last.
    sourceDevice = std::make_unique<DiskDevice>();
    sourceDevice->handle = std::move(image);
    sourceDevice->kind = DeviceKind::ImageFile;
    sourceDevice->name = request.imagePath;
    sourceDevice->sectorSize = sectorSize;
    sourceDevice->endSector = imageBytes / sectorSize;
    sourceDevice->retryCount = 0;
    sourceName = request.imagePath;

    currentJob = std::make_unique<CopyJob>();
    currentJob->state = JobState::Running;
    currentJob->positionBytes = 0;
    currentJob->endBytes = imageBytes;
    return true;
}

} // namespace orvel
