#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvel::sysfs {

// What a whole disk in /sys/block is, by its kernel name.
enum class DiskKind { Disk, Ram, Zram, Loop, Optical };
DiskKind classifyDiskName(std::string_view kernelName);

// "USB" for a disk below a USB bus, "IDE" for one behind libata, "SCSI" for
// every other (SAS, NVMe, virtio, loop), from the disk's resolved sysfs path.
std::string interfaceTypeFromPath(std::string_view resolvedPath);

std::string mediaTypeFor(bool removable, std::string_view interfaceType);

// "OK" while the device runs ("running" for SCSI, "live" for NVMe) or reports
// no state at all, else "Error".
std::string statusFromDeviceState(const std::optional<std::string>& state);

// What sysfs tells about a disk's identity; every text as read, untrimmed.
struct DiskIdentity {
    std::string kernelName;
    std::optional<std::string> vendor;    // SCSI vendor field
    std::optional<std::string> model;     // SCSI product or NVMe model
    std::optional<std::string> ataModel;  // the full ATA model from IDENTIFY DEVICE
    std::optional<std::string> loopBackingFile;
    bool isVirtio = false;
};

// The model text a disk is listed with. Never empty: a disk without a model
// gets a text that still tells it apart ("Virtual disk vda", "Loop device
// disk.img", "Disk nbd0").
std::string modelText(const DiskIdentity& identity);

} // namespace orvel::sysfs
