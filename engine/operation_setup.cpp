#include "engine/operation_setup.h"

#include "engine/disk_device.h"
#include "engine/image_checksum_file.h"
#include "engine/operation_slots.h"
#include "engine/setup_rules.h"

#include <limits>

namespace orvel {

namespace {

constexpr const char* kInformation = "Information";
constexpr const char* kDriveListChangedMessage = "The drive list has changed. Please choose again.";

void inform(MessageBoxService& messages, const char* text)
{
    messages.show({text, kInformation, MessageIcon::Information, MessageButtons::Ok});
}

void reportError(MessageBoxService& messages, const char* text)
{
    messages.show({text, "Error", MessageIcon::Error, MessageButtons::Ok});
}

bool confirmed(MessageBoxService& messages, const char* question)
{
    return messages.show({question, "Confirm", MessageIcon::Question, MessageButtons::YesNo}) == MessageAnswer::Yes;
}

// A drive and one of its own volumes are the same disk: copying one onto the
// other destroys what is being read.
bool onSameDisk(const DriveChoice& a, const DriveChoice& b)
{
    if (a.isPhysical == b.isPhysical)
        return false;
    return a.driveNumber && b.driveNumber && *a.driveNumber == *b.driveNumber;
}

// A volume opens by its name, which a partition of another disk may have
// taken since the list was made (a stick pulled and another plugged in).
bool stillAsListed(const DiskDevice& device, const DriveChoice& choice)
{
    if (choice.isPhysical || !choice.listedVolume)
        return true;
    return device.handle != nullptr && device.handle->volumeIdentity() == choice.listedVolume;
}

bool sumExceeds(std::uint64_t start, std::uint64_t count, std::uint64_t limit)
{
    return count > std::numeric_limits<std::uint64_t>::max() - start || start + count > limit;
}

// Nothing of a stopped attempt stays open.
CloneStart stopClone()
{
    releaseOperationSlots();
    return {};
}

} // namespace

CloneStart setUpClone(const CloneRequest& request, DeviceAccess& access, MessageBoxService& messages)
{
    if (!request.sourceIndex || *request.sourceIndex >= request.entries.size()) {
        inform(messages, "Please select a drive.");
        return {};
    }
    const DriveChoice& source = request.entries[*request.sourceIndex];
    if (!request.destinationIndex || *request.destinationIndex >= request.entries.size()) {
        inform(messages, "Please select a destination drive.");
        return {};
    }
    const DriveChoice& destination = request.entries[*request.destinationIndex];
    if (*request.sourceIndex == *request.destinationIndex || onSameDisk(source, destination)) {
        inform(messages, "Source and destination drive can not be same.");
        return {};
    }
    if (!confirmed(messages, "Are you sure for selected source drive and destination drive ?"))
        return {};

    releaseOperationSlots();
    sourceDevice = std::make_unique<DiskDevice>();
    if (!openDevice(*sourceDevice, access, openNameOf(source.deviceName, source.isPhysical), OpenMode::ReadOnly)) {
        reportError(messages, "Failed to open source disk.");
        return stopClone();
    }
    if (!stillAsListed(*sourceDevice, source)) {
        reportError(messages, kDriveListChangedMessage);
        return stopClone();
    }
    destinationDevice = std::make_unique<DiskDevice>();
    if (!openDevice(*destinationDevice, access, openNameOf(destination.deviceName, destination.isPhysical),
                    OpenMode::ReadWrite)) {
        reportError(messages, "Failed to open destination disk.");
        return stopClone();
    }
    if (!stillAsListed(*destinationDevice, destination)) {
        reportError(messages, kDriveListChangedMessage);
        return stopClone();
    }

    DiskDevice& from = *sourceDevice;
    DiskDevice& to = *destinationDevice;
    std::uint64_t bytesToCopy = source.sizeBytes;
    if (request.mode == AreaMode::Range) {
        if (request.sourceStartText.empty()) {
            inform(messages, "Please enter the value for starting sector no. of source drive.");
            return stopClone();
        }
        if (request.destinationStartText.empty()) {
            inform(messages, "Please enter the value for destination sector no. of destination drive.");
            return stopClone();
        }
        const std::uint64_t sourceStart = parseSectorNumber(request.sourceStartText);
        const std::uint64_t destinationStart = parseSectorNumber(request.destinationStartText);
        if (sourceStart > from.endSector) {
            inform(messages, "Please enter valid sector number.");
            return stopClone();
        }
        // The destination is addressed in source-sized sectors.
        const std::uint64_t destinationSectors =
            from.sectorSize == 0 ? 0 : to.endSector * to.sectorSize / from.sectorSize;
        if (destinationStart > destinationSectors) {
            inform(messages, "Please enter valid destination number.");
            return stopClone();
        }
        // A start inside a destination sector would put every write across
        // that destination's sector boundaries.
        const std::string misaligned =
            misalignedDestinationStartMessage(from.sectorSize, to.sectorSize, destinationStart);
        if (!misaligned.empty()) {
            inform(messages, misaligned.c_str());
            return stopClone();
        }
        from.startSector = sourceStart;
        to.startSector = destinationStart;
        if (request.countText.empty()) {
            inform(messages, "Please enter the no. of sectors to copy.");
            return stopClone();
        }
        const std::uint64_t count = parseSectorNumber(request.countText);
        // A range must lie inside the source, not merely be no longer than it.
        if (count == 0 || count > from.endSector || sumExceeds(sourceStart, count, from.endSector)) {
            inform(messages, "Please enter valid number of sectors to be copied.");
            return stopClone();
        }
        from.endSector = sourceStart + count;
        bytesToCopy = count * from.sectorSize;
        if (sumExceeds(destinationStart, count, destinationSectors)) {
            inform(messages, "Insufficient space. Please choose other destination.");
            return stopClone();
        }
    }
    if (bytesToCopy > destination.sizeBytes) {
        inform(messages, "Insufficient space. Please choose other destination.");
        return stopClone();
    }

    currentJob = std::make_unique<CopyJob>();
    currentJob->state = JobState::Running;
    currentJob->positionBytes = from.startSector * from.sectorSize;
    currentJob->endBytes = from.endSector * from.sectorSize;
    from.retryCount = request.retryAttempts;
    return {true, request.mode != AreaMode::Reverse};
}

bool setUpImaging(const ImagingRequest& request, DeviceAccess& access, MessageBoxService& messages)
{
    if (!request.source) {
        inform(messages, "Please select a drive.");
        return false;
    }
    if (request.imagePath.empty()) {
        inform(messages, "Please select a destination path.");
        return false;
    }
    const DriveChoice& source = *request.source;
    if (source.sizeBytes > request.destinationFreeBytes) {
        inform(messages, "Insufficent Space. Please choose another drive.");
        return false;
    }
    if (!confirmed(messages, "Are you sure for selected source drive and destination path ?"))
        return false;

    releaseOperationSlots();
    sourceDevice = std::make_unique<DiskDevice>();
    if (!openDevice(*sourceDevice, access, openNameOf(source.deviceName, source.isPhysical), OpenMode::ReadOnly)) {
        reportError(messages, "Failed to open source disk.");
        releaseOperationSlots();
        return false;
    }
    if (!stillAsListed(*sourceDevice, source)) {
        reportError(messages, kDriveListChangedMessage);
        releaseOperationSlots();
        return false;
    }
    if (access.isStoredOn(request.imagePath, *sourceDevice->handle)) {
        reportError(messages, "The image file cannot be stored on the drive being imaged.");
        releaseOperationSlots();
        return false;
    }
    const bool continued = request.continueExisting && request.continueExisting();
    destinationDevice = std::make_unique<DiskDevice>();
    destinationDevice->handle =
        continued ? access.continueImageFile(request.imagePath) : access.createImageFile(request.imagePath);
    if (!destinationDevice->handle) {
        reportError(messages, continued ? "Failed to open image file." : "Failed to create image file.");
        releaseOperationSlots();
        return false;
    }
    destinationDevice->kind = DeviceKind::ImageFile;
    destinationDevice->name = request.imagePath;
    // The checksum of the file as it was would no longer match it.
    removeChecksumFile(request.imagePath);
    destinationName = request.imagePath;

    currentJob = std::make_unique<CopyJob>();
    currentJob->state = JobState::Running;
    currentJob->positionBytes = 0;
    // The loops move positions in source sectors, so 100 % is the whole source.
    currentJob->endBytes = sourceDevice->endSector * sourceDevice->sectorSize;
    return true;
}

} // namespace orvel
