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

// Frees the file's storage of these bytes, which then read as zeros; the
// file keeps its length. EOPNOTSUPP where the file system cannot.
IoResult punchHole(int fd, std::uint64_t offset, std::uint64_t bytes);

// Sets the file's length; bytes added read as zeros and take no storage
// where the file system has holes. Callers only ever lengthen.
IoResult lengthenFile(int fd, std::uint64_t length);

} // namespace orvel
