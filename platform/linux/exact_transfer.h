#pragma once

#include "platform/device_access.h"

#include <cstdint>

namespace orvel {

// One pread/pwrite of exactly `bytes` at an absolute offset. An interrupted
// or would-block call is repeated a bounded number of times; fewer bytes than
// asked is a failure with EIO. `error` is errno otherwise; the codes that
// mean the device itself is gone also set deviceLost.
IoResult readExactAt(int fd, std::uint64_t offset, void* buffer, std::uint32_t bytes);
IoResult writeExactAt(int fd, std::uint64_t offset, const void* buffer, std::uint32_t bytes);

// ENODEV, ENXIO and ENOMEDIUM: the device or its medium is no longer there.
bool isLostDeviceError(int error);

// fdatasync, repeated while interrupted (a bounded number of times).
IoResult syncData(int fd);

} // namespace orvel
