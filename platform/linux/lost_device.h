#pragma once

#include "platform/device_access.h"

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace orvel {

// Where the kernel lists every block device it still has, by number.
inline constexpr const char* kSysfsDeviceNumbers = "/sys/dev/block";

// Whether the block device numbered `device` has left the kernel's list in
// `sysfsDeviceNumbers` (an unplugged disk is removed from it at once). A
// machine without that list says nothing, so nothing is gone.
bool blockDeviceEntryGone(const std::string& sysfsDeviceNumbers, dev_t device);

// Whether the SCSI layer has taken the disk of block device `device` (or of
// the partition it is) out of service: its device state is "offline",
// "transport-offline" or "blocked". Error recovery leaves such a disk in
// the list, failing every transfer with an I/O error.
bool blockDeviceOffline(const std::string& sysfsDeviceNumbers, dev_t device);

// Looks again at a transfer of `bytes` at `offset` on the block device `fd`
// that failed. A failed sector read reports an I/O error, and so does a disk
// that was unplugged or a reader whose card was pulled; those are told apart
// here by whether the device is still listed and whether it shrank, since it
// was opened at `openedLength` bytes, to below the end of the transfer. (A
// transfer past the end of a device that kept its length is a plain error.)
// A device that is gone turns the failure into ENODEV (no longer listed or
// taken offline) or ENOMEDIUM (shrunk), with deviceLost set.
IoResult classifyBlockFailure(int fd, IoResult failure, std::uint64_t offset, std::uint32_t bytes,
                              std::uint64_t openedLength);

} // namespace orvel
