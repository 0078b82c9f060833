#include "platform/windows/handle_io.h"

#include <algorithm>
#include <limits>

namespace orvel::windows {

namespace {

IoResult lastError()
{
    const DWORD error = ::GetLastError();
    return {false, static_cast<std::uint32_t>(error), isLostDeviceError(error)};
}

bool seekTo(HANDLE handle, std::uint64_t offset, std::uint32_t bytes)
{
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max()) - bytes) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) != FALSE;
}

} // namespace

// Not in every SDK's headers (mingw-w64 lacks it).
constexpr DWORD kErrorNoSuchDevice = 433;

bool isLostDeviceError(DWORD error)
{
    switch (error) {
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case kErrorNoSuchDevice:
    case ERROR_DEVICE_NOT_CONNECTED:
        return true;
    default:
        return false;
    }
}

IoResult readExactAt(HANDLE handle, std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    if (!seekTo(handle, offset, bytes))
        return lastError();
    DWORD moved = 0;
    if (!::ReadFile(handle, buffer, bytes, &moved, nullptr))
        return lastError();
    if (moved != bytes)
        return {false, ERROR_HANDLE_EOF};
    return {true, 0};
}

IoResult writeExactAt(HANDLE handle, std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    if (!seekTo(handle, offset, bytes))
        return lastError();
    DWORD moved = 0;
    if (!::WriteFile(handle, buffer, bytes, &moved, nullptr))
        return lastError();
    if (moved != bytes)
        return {false, ERROR_WRITE_FAULT};
    return {true, 0};
}

IoResult flushHandle(HANDLE handle)
{
    if (!::FlushFileBuffers(handle))
        return lastError();
    return {true, 0};
}

std::optional<std::size_t> controlRequest(HANDLE handle, std::uint32_t code, std::span<const std::uint8_t> input,
                                          std::span<std::uint8_t> output)
{
    DWORD returned = 0;
    // The driver does not write its input; the API just does not say so.
    void* inputBuffer = input.empty() ? nullptr : const_cast<std::uint8_t*>(input.data());
    void* outputBuffer = output.empty() ? nullptr : output.data();
    if (!::DeviceIoControl(handle, code, inputBuffer, static_cast<DWORD>(input.size()), outputBuffer,
                           static_cast<DWORD>(output.size()), &returned, nullptr))
        return std::nullopt;
    return std::min<std::size_t>(returned, output.size());
}

bool controlRequest(HANDLE handle, std::uint32_t code)
{
    return controlRequest(handle, code, {}, {}).has_value();
}

} // namespace orvel::windows
