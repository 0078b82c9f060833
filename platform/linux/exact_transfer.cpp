#include "platform/linux/exact_transfer.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
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

bool fitsFileOffsets(std::uint64_t offset, std::uint64_t bytes)
{
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
    return bytes <= kLargest && offset <= kLargest - bytes;
}

template <typename Call>
IoResult transferExactly(std::uint64_t offset, std::uint32_t bytes, Call call)
{
    if (!fitsFileOffsets(offset, bytes))
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

// A call that returns 0 or -1 with errno, repeated while interrupted.
template <typename Call>
IoResult repeatWhileInterrupted(Call call)
{
    for (int attempt = 1;; ++attempt) {
        if (call() == 0)
            return {true, 0};
        const int error = errno;
        if (error != EINTR || attempt == kAttempts)
            return failure(error);
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
    return repeatWhileInterrupted([fd] { return ::fdatasync(fd); });
}

IoResult punchHole(int fd, std::uint64_t offset, std::uint64_t bytes)
{
    if (!fitsFileOffsets(offset, bytes))
        return {false, EINVAL};
    return repeatWhileInterrupted([&] {
        return ::fallocate(fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                           static_cast<off_t>(bytes));
    });
}

IoResult lengthenFile(int fd, std::uint64_t length)
{
    if (!fitsFileOffsets(length, 0))
        return {false, EINVAL};
    return repeatWhileInterrupted([&] { return ::ftruncate(fd, static_cast<off_t>(length)); });
}

} // namespace orvel
