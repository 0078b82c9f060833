#pragma once

#include "platform/device_access.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>

namespace orvel::windows {

// One ReadFile or WriteFile of exactly `bytes` at an absolute offset (the
// file pointer is set first). Fewer bytes than asked is a failure:
// ERROR_HANDLE_EOF for a read, ERROR_WRITE_FAULT for a write. `error` is the
// system's last-error code otherwise; the codes that mean the device itself
// is gone also set deviceLost.
IoResult readExactAt(HANDLE handle, std::uint64_t offset, void* buffer, std::uint32_t bytes);
IoResult writeExactAt(HANDLE handle, std::uint64_t offset, const void* buffer, std::uint32_t bytes);

// The device no longer exists, is not connected, or has no medium.
bool isLostDeviceError(DWORD error);

// FlushFileBuffers.
IoResult flushHandle(HANDLE handle);

// DeviceIoControl; the number of bytes the driver returned, or nullopt when
// the request failed.
std::optional<std::size_t> controlRequest(HANDLE handle, std::uint32_t code, std::span<const std::uint8_t> input,
                                          std::span<std::uint8_t> output);

// A request without input or output.
bool controlRequest(HANDLE handle, std::uint32_t code);

} // namespace orvel::windows
