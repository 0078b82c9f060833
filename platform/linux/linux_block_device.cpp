#include "platform/linux/linux_block_device.h"

#include "platform/aligned_buffer.h"
#include "platform/linux/device_numbers.h"
#include "platform/linux/device_users.h"
#include "platform/linux/exact_transfer.h"
#include "platform/linux/lost_device.h"
#include "platform/linux/mountinfo.h"
#include "platform/linux/partition_place.h"
#include "platform/linux/partition_table_regions.h"
#include "platform/linux/sysfs_block_tree.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <utility>

namespace orvel {

namespace {

// A partition that a prober (blkid, udev) holds open for a moment makes the
// rescan busy; a few short waits let it finish. Bounded: a partition that
// stays open fails the request.
constexpr int kRescanAttempts = 10;
constexpr long kRescanPauseNanoseconds = 100'000'000;

// Enough rounds for every mount of one device, stacked or bound elsewhere.
constexpr int kMaxUnmounts = 64;

bool deviceNumberOf(int fd, dev_t& device)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISBLK(status.st_mode))
        return false;
    device = status.st_rdev;
    return true;
}

// A mount of `device`: by the file system's device number, or (for file
// systems such as btrfs that report an anonymous one) by its source node.
bool isMountOf(const MountEntry& mount, dev_t device)
{
    if (::makedev(mount.major, mount.minor) == device)
        return true;
    if (mount.source.rfind("/dev/", 0) != 0)
        return false;
    struct stat status {};
    return ::stat(mount.source.c_str(), &status) == 0 && S_ISBLK(status.st_mode) && status.st_rdev == device;
}

} // namespace

LinuxBlockDevice::LinuxBlockDevice(UniqueFd fd, std::string path, int openFlags)
    : fd_(std::move(fd)), path_(std::move(path)), openFlags_(openFlags)
{
    queryLength(openedLength_);
}

IoResult LinuxBlockDevice::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    return classifyBlockFailure(fd_.get(), readExactAt(fd_.get(), offset, buffer, bytes), offset, bytes,
                                openedLength_);
}

IoResult LinuxBlockDevice::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    return classifyBlockFailure(fd_.get(), writeExactAt(fd_.get(), offset, buffer, bytes), offset, bytes,
                                openedLength_);
}

bool LinuxBlockDevice::queryLength(std::uint64_t& lengthBytes)
{
    std::uint64_t length = 0;
    if (::ioctl(fd_.get(), BLKGETSIZE64, &length) != 0)
        return false;
    lengthBytes = length;
    return true;
}

IoResult LinuxBlockDevice::flush()
{
    return classifyBlockFailure(fd_.get(), syncData(fd_.get()), 0, 0, openedLength_);
}

bool LinuxBlockDevice::claimExclusively()
{
    if (exclusive_)
        return true;
    dev_t device = 0;
    if (!deviceNumberOf(fd_.get(), device))
        return false;
    UniqueFd claimed(::open(path_.c_str(), openFlags_ | O_EXCL));
    dev_t reopened = 0;
    // The node must still be the device we hold, not whatever took its name.
    if (!claimed || !deviceNumberOf(claimed.get(), reopened) || reopened != device)
        return false;
    fd_ = std::move(claimed);
    exclusive_ = true;
    return true;
}

bool LinuxBlockDevice::zeroPartitionTables()
{
    std::uint64_t diskBytes = 0;
    int logicalBlockSize = 0;
    if (!queryLength(diskBytes) || ::ioctl(fd_.get(), BLKSSZGET, &logicalBlockSize) != 0 || logicalBlockSize <= 0)
        return false;
    for (const ByteRange& region : partitionTableRegions(diskBytes, static_cast<std::uint32_t>(logicalBlockSize))) {
        AlignedBuffer zeros;
        if (!zeros.allocate(region.length))
            return false;
        if (!writeExactAt(fd_.get(), region.offset, zeros.data(), static_cast<std::uint32_t>(region.length)).ok)
            return false;
    }
    return syncData(fd_.get()).ok;
}

bool LinuxBlockDevice::rereadPartitionTable()
{
    for (int attempt = 1;; ++attempt) {
        if (::ioctl(fd_.get(), BLKRRPART) == 0)
            return true;
        const int error = errno;
        // A disk that cannot hold partitions (a loop device without
        // partition scanning) has no partitions to forget.
        if (error == EINVAL)
            return true;
        if ((error != EBUSY && error != EINTR) || attempt == kRescanAttempts)
            return false;
        const timespec pause = {0, kRescanPauseNanoseconds};
        ::nanosleep(&pause, nullptr);
    }
}

LayoutDeletion LinuxBlockDevice::deleteDriveLayout()
{
    if ((openFlags_ & O_ACCMODE) != O_RDWR)
        return LayoutDeletion::Refused;
    // The claim comes first: while a partition is mounted or held it fails,
    // and then nothing has been written.
    if (!claimExclusively() || !zeroPartitionTables())
        return LayoutDeletion::Refused;
    // The tables are gone by now: a program that keeps a partition open
    // (without claiming it) only stops the system from forgetting the old
    // partitions, which the copy then overwrites anyway.
    return rereadPartitionTable() ? LayoutDeletion::Deleted : LayoutDeletion::DeletedUnseen;
}

bool LinuxBlockDevice::dismountVolume()
{
    dev_t device = 0;
    if (!deviceNumberOf(fd_.get(), device))
        return false;
    for (int round = 0; round < kMaxUnmounts; ++round) {
        const std::vector<MountEntry> table = readMountTable();
        const auto mountedHere = [device](const MountEntry& mount) { return isMountOf(mount, device); };
        if (std::none_of(table.begin(), table.end(), mountedHere))
            return claimExclusively();
        // A mount hidden under another one cannot be reached by its path
        // without unmounting something that is not ours.
        const std::optional<std::size_t> next = nextMountToRemove(table, mountedHere);
        if (!next || ::umount2(table[*next].mountPoint.c_str(), UMOUNT_NOFOLLOW) != 0)
            return false;
    }
    return false;
}

bool LinuxBlockDevice::lockVolume()
{
    return claimExclusively();
}

DeviceUsers LinuxBlockDevice::users()
{
    dev_t device = 0;
    if (!deviceNumberOf(fd_.get(), device))
        return {};
    std::vector<dev_t> devices = partitionsOf(kSysfsDeviceNumbers, device);
    devices.push_back(device);
    const std::vector<MountEntry> table = readMountTable();
    for (const dev_t member : devices) {
        const auto mountedHere = [member](const MountEntry& mount) { return isMountOf(mount, member); };
        if (std::any_of(table.begin(), table.end(), mountedHere))
            return {};
    }
    const std::string swaps = sysfs::readAttribute("/proc/swaps").value_or("");
    DeviceUsers users{true, {}};
    for (const dev_t member : devices) {
        for (const std::string& name : systemUsersOf(kSysfsDeviceNumbers, swaps, member))
            users.names += (users.names.empty() ? "" : ", ") + name;
    }
    return users;
}

std::optional<VolumeIdentity> LinuxBlockDevice::volumeIdentity()
{
    dev_t device = 0;
    std::uint64_t diskseq = 0;
    if (!deviceNumberOf(fd_.get(), device) || ::ioctl(fd_.get(), BLKGETDISKSEQ, &diskseq) != 0)
        return std::nullopt;
    const std::optional<PartitionPlace> place = partitionPlace(deviceNumberFolder(kSysfsDeviceNumbers, device));
    if (!place)
        return std::nullopt;
    return VolumeIdentity{diskseq, place->number, place->startBytes, place->lengthBytes};
}

} // namespace orvel
