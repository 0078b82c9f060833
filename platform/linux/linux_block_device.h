#pragma once

#include "platform/device_access.h"
#include "platform/linux/unique_fd.h"

#include <string>

namespace orvel {

// A whole disk or a partition opened for direct I/O.
class LinuxBlockDevice final : public DeviceHandle {
public:
    // Takes over `fd`, a descriptor of the block device node at `path`,
    // opened with `openFlags` (kept for the exclusive reopen).
    LinuxBlockDevice(UniqueFd fd, std::string path, int openFlags);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;
    LayoutDeletion deleteDriveLayout() override;
    bool dismountVolume() override;
    bool lockVolume() override;
    DeviceUsers users() override;
    std::optional<VolumeIdentity> volumeIdentity() override;

    int descriptor() const { return fd_.get(); }

private:
    // Reopens the same device with O_EXCL and transfers through that
    // descriptor from then on. Fails while anything mounts or claims the
    // device or (for a whole disk) any of its partitions: LVM, LUKS, md,
    // swap and file systems all claim their devices so, and on Linux an
    // unmounted volume may still be one of those.
    bool claimExclusively();
    bool zeroPartitionTables();
    bool rereadPartitionTable();

    UniqueFd fd_;
    std::string path_;
    int openFlags_ = 0;
    bool exclusive_ = false;
    std::uint64_t openedLength_ = 0;  // 0 when the length could not be asked
};

} // namespace orvel
