#include "platform/linux/exact_transfer.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <time.h>
#include <unistd.h>

namespace orvel {

namespace {

// Transient failures are rare on block devices; a few repeats ride them out
// without ever spinning on a device that keeps refusing.
constexpr int kAttempts = 8;

bool isTransient(int error)
{
    return error == EINTR || error == EAGAIN || error == EWOULDBLOCK;
}

void pauseBeforeRetry(int error)
{
    if (error == EINTR)
        return;
    const timespec pause = {0, 1'000'000};
    ::nanosleep(&pause, nullptr);
}

IoResult failure(int error)
{
    return {false, static_cast<std::uint32_t>(error), isLostDeviceError(error)};
}

template <typename Call>
IoResult transferExactly(std::uint64_t offset, std::uint32_t bytes, Call call)
{
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) - bytes)
        return {false, EINVAL};
    for (int attempt = 1;; ++attempt) {
        const ssize_t moved = call(static_cast<off_t>(offset));
        if (moved >= 0) {
            if (static_cast<std::uint64_t>(moved) == bytes)
                return {true, 0};
            return {false, EIO};
        }
        const int error = errno;
        if (!isTransient(error) || attempt == kAttempts)
            return failure(error);
        pauseBeforeRetry(error);
    }
}

} // namespace

bool isLostDeviceError(int error)
{
    return error == ENODEV || error == ENXIO || error == ENOMEDIUM;
}

IoResult readExactAt(int fd, std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    return transferExactly(offset, bytes, [&](off_t at) { return ::pread(fd, buffer, bytes, at); });
}

IoResult writeExactAt(int fd, std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    return transferExactly(offset, bytes, [&](off_t at) { return ::pwrite(fd, buffer, bytes, at); });
}

IoResult syncData(int fd)
{
    for (int attempt = 1;; ++attempt) {
        if (::fdatasync(fd) == 0)
            return {true, 0};
        const int error = errno;
        if (error != EINTR || attempt == kAttempts)
            return failure(error);
    }
}

} // namespace orvel
