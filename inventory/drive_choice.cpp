#include "inventory/drive_choice.h"

namespace orvel {

DriveChoice driveChoiceOf(const DriveInfo& drive)
{
    DriveChoice choice;
    choice.deviceName = drive.deviceName;
    choice.isPhysical = drive.isPhysical;
    choice.sizeBytes = drive.sizeBytes;
    // A drive's own number, or the drive that holds a volume.
    choice.driveNumber = drive.isPhysical ? std::optional<std::uint64_t>(drive.diskIndex) : drive.holdingDrive;
    if (!drive.isPhysical && drive.holdingDrive && drive.partitionNumber && drive.partitionStartBytes)
        choice.listedVolume =
            VolumeIdentity{*drive.holdingDrive, *drive.partitionNumber, *drive.partitionStartBytes, drive.sizeBytes};
    return choice;
}

} // namespace orvel
