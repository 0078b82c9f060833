#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// The outcome of one transfer. `error` is the system's own code (errno on
// Linux); 0 when the transfer succeeded. `deviceLost` marks a failure of the
// device as a whole rather than of the sectors asked for: the drive was
// unplugged, its medium pulled, or its capacity no longer reaches the
// transfer. Nothing more can be read from or written to such a device.
struct IoResult {
    bool ok = false;
    std::uint32_t error = 0;
    bool deviceLost = false;
};

// Which partition of which drive an open volume is. A volume is known by
// its kernel name, which another disk may take over between the listing and
// the open; these figures tell the two apart.
struct VolumeIdentity {
    std::uint64_t driveNumber = 0;
    std::uint32_t partitionNumber = 0;
    std::uint64_t startBytes = 0;
    std::uint64_t lengthBytes = 0;

    bool operator==(const VolumeIdentity&) const = default;
};

// How the deletion of a drive's layout went.
enum class LayoutDeletion {
    Refused,          // nothing was written
    Deleted,
    DeletedUnseen,    // the tables are gone, but the system still lists the old partitions
};

// Who keeps a destination from being claimed, asked after a claim failed.
// `heldBySystem` is false when a file system of the device is mounted (the
// operator can unmount it); otherwise something else holds the device
// (swap, RAID, LVM, encryption or another program) and `names`, where the
// system tells, says what.
struct DeviceUsers {
    bool heldBySystem = false;
    std::string names;
};

// A source is never written, so it is opened read-only (write blockers and
// locked cards must still open); a destination is opened for reading and writing.
enum class OpenMode { ReadOnly, ReadWrite };

// One open drive, volume or image file. Every transfer is direct (unbuffered),
// of whole sectors, at an absolute byte offset, from a buffer aligned to
// kDirectIoAlignment. A transfer that moves fewer bytes than asked has failed.
// Destroying the handle closes it.
class DeviceHandle {
public:
    virtual ~DeviceHandle() = default;

    virtual IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) = 0;
    virtual IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) = 0;

    // Capacity in bytes of the drive or volume; false when the request fails.
    virtual bool queryLength(std::uint64_t& lengthBytes) = 0;

    // Everything written so far reaches stable storage.
    virtual IoResult flush() = 0;

    // Destination preparation. A whole drive loses its partition table; a
    // volume is dismounted, or else locked. Where the system allows it, each
    // also claims the device for this program alone until the handle closes,
    // and fails (writing nothing) when it cannot.
    virtual LayoutDeletion deleteDriveLayout() = 0;
    virtual bool dismountVolume() = 0;
    virtual bool lockVolume() = 0;

    // Why the last preparation failed; nothing known by default.
    virtual DeviceUsers users() { return {}; }

    // The partition this handle opened; nullopt for a whole drive, an image
    // file, or where the system does not tell.
    virtual std::optional<VolumeIdentity> volumeIdentity() { return std::nullopt; }
};

// Opens drives, volumes and image files.
class DeviceAccess {
public:
    virtual ~DeviceAccess() = default;

    // A physical drive by its number: the digits of `number` as the system
    // numbers its disks. Null when there is no such drive or it cannot be opened.
    virtual std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) = 0;

    // A volume by its bare name (a partition's kernel name, a drive letter).
    // Names that could reach anything but a volume fail.
    virtual std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) = 0;

    // Creates the image file (or empties an existing one) for writing.
    virtual std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) = 0;

    // Opens an image file to be read back (restored or verified): read-only,
    // direct where the file system allows it. Null when the path is missing,
    // is not a regular file (links are not followed) or cannot be read.
    virtual std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) = 0;

    // Opens an existing image file for writing without emptying it, for an
    // imaging that goes on from a rescue map. The same paths are refused.
    virtual std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) = 0;

    // Whether a file at `path` would be stored on `device` itself: on the same
    // drive or volume, on one of a drive's partitions, on a device built on
    // it, or as the file that backs it. False where that cannot be told.
    virtual bool isStoredOn(const std::string& path, DeviceHandle& device)
    {
        (void)path;
        (void)device;
        return false;
    }

    // Bytes free for a new file in the folder that holds `path`.
    virtual std::optional<std::uint64_t> freeSpace(const std::string& path) = 0;

    // The number of the whole drive that a device path (such as /dev/sdb)
    // names, for the command line; nullopt where paths mean nothing.
    virtual std::optional<std::uint64_t> driveNumberOf(std::string_view devicePath)
    {
        (void)devicePath;
        return std::nullopt;
    }
};

} // namespace orvel
