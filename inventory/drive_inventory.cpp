#include "inventory/drive_inventory.h"

#include "inventory/drive_health.h"
#include "inventory/serial_number.h"
#include "inventory/size_property.h"

#include <utility>

namespace orvel {

DriveList physicalDrives;
DriveList volumes;

namespace {

// Only this exact spelling is a USB drive; the system reports no other.
constexpr std::string_view kUsbInterface = "USB";

} // namespace

void EnumeratePhysicalDrives(Platform& platform, bool readSerialAndSmart)
{
    DriveCatalog& catalog = platform.drives();
    std::vector<DiskDriveRow> rows;
    if (catalog.listDiskDrives(readSerialAndSmart, rows) != CatalogStatus::Ok)
        return;

    for (const DiskDriveRow& row : rows) {
        auto drive = std::make_unique<DriveInfo>();
        drive->caption = row.caption.value_or("");
        drive->deviceName = row.name.value_or("");
        drive->sizeBytes = parseSizeProperty(row.size);
        drive->diskIndex = row.index.value_or(0);
        drive->model = row.model.value_or("");
        drive->mediaType = row.mediaType.value_or("");
        drive->interfaceType = row.interfaceType.value_or("");
        drive->status = row.status.value_or("");

        if (readSerialAndSmart) {
            if (row.serialNumber) {
                const std::optional<OsVersion> version = catalog.osVersion();
                if (!version)
                    return;
                drive->serialNumber = applySerialRules(*row.serialNumber, drive->interfaceType, *version);
            }
            drive->firmwareRevision = row.firmwareRevision.value_or("");
            // A drive without a number has no device to ask; drive 0 would be
            // another disk's answers. A drive that is not running keeps its
            // "Error" whatever it says of itself.
            if (drive->interfaceType != kUsbInterface && row.index) {
                const bool takeVerdict = drive->status == kStatusOk && !catalog.statusIncludesDriveVerdict();
                ReadDriveHealth(platform.smart(), *row.index, takeVerdict, *drive);
            }
        }

        drive->isPhysical = true;
        physicalDrives.push_back(std::move(drive));
    }
}

std::optional<InventoryNotice> EnumerateVolumes(Platform& platform)
{
    DriveCatalog& catalog = platform.drives();
    std::vector<LogicalDiskRow> rows;
    switch (catalog.listLogicalDisks(rows)) {
    case CatalogStatus::Ok:
        break;
    case CatalogStatus::SecurityFailed:
        return InventoryNotice{std::string(kProxyBlanketFailedText), std::string(kProxyBlanketFailedCaption)};
    case CatalogStatus::ServiceFailed:
        return std::nullopt;
    }

    for (const LogicalDiskRow& row : rows) {
        auto volume = std::make_unique<DriveInfo>();
        volume->caption = row.caption.value_or("");
        if (catalog.isOpticalDrive(volume->caption))
            continue;
        volume->sizeBytes = parseSizeProperty(row.size);
        if (volume->sizeBytes == 0)
            continue;
        volume->deviceName = row.name.value_or("");
        volume->isPhysical = false;
        volume->holdingDrive = row.driveNumber;
        volume->partitionNumber = row.partitionNumber;
        volume->partitionStartBytes = row.startBytes;
        volumes.push_back(std::move(volume));
    }
    return std::nullopt;
}

void ClearInventory()
{
    DriveList().swap(physicalDrives);
    DriveList().swap(volumes);
}

} // namespace orvel
