#include "platform/linux/linux_image_file.h"

#include "platform/linux/exact_transfer.h"
#include "platform/zero_runs.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <utility>

namespace orvel {

LinuxImageFile::LinuxImageFile(UniqueFd fd, bool direct) : fd_(std::move(fd)), direct_(direct) {}

template <typename Transfer>
IoResult LinuxImageFile::transfer(Transfer move)
{
    const IoResult result = move(fd_.get());
    if (result.ok || result.error != EINVAL || !direct_ || !stopDirectIo())
        return result;
    return move(fd_.get());
}

bool LinuxImageFile::stopDirectIo()
{
    const int flags = ::fcntl(fd_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd_.get(), F_SETFL, flags & ~O_DIRECT) != 0)
        return false;
    direct_ = false;
    return true;
}

IoResult LinuxImageFile::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    return transfer([&](int fd) { return readExactAt(fd, offset, buffer, bytes); });
}

IoResult LinuxImageFile::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    const auto* data = static_cast<const std::uint8_t*>(buffer);
    return forEachZeroRun(data, bytes, [&](std::uint32_t start, std::uint32_t length, bool zeros) {
        return zeros ? writeZeros(offset + start, data + start, length)
                     : writeExactly(offset + start, data + start, length);
    });
}

IoResult LinuxImageFile::writeExactly(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    return transfer([&](int fd) { return writeExactAt(fd, offset, buffer, bytes); });
}

// Zeros become a hole, and the file is lengthened to hold them. Below the
// file's end the bytes may not be zeros yet (a continued image, a marker
// written earlier), so the hole is punched there, or, where the file system
// cannot punch, the zeros are written.
IoResult LinuxImageFile::writeZeros(std::uint64_t offset, const void* zeros, std::uint32_t bytes)
{
    struct stat status {};
    if (::fstat(fd_.get(), &status) != 0)
        return {false, static_cast<std::uint32_t>(errno)};
    const auto length = static_cast<std::uint64_t>(status.st_size);
    if (offset < length) {
        const IoResult punched = canPunch_ ? punchHole(fd_.get(), offset, bytes) : IoResult{false, EOPNOTSUPP};
        if (punched.error == EOPNOTSUPP) {
            canPunch_ = false;
            return writeExactly(offset, zeros, bytes);
        }
        if (!punched.ok)
            return punched;
    }
    if (offset + bytes > length)
        return lengthenFile(fd_.get(), offset + bytes);
    return {true, 0};
}

bool LinuxImageFile::queryLength(std::uint64_t& lengthBytes)
{
    struct stat status {};
    if (::fstat(fd_.get(), &status) != 0)
        return false;
    lengthBytes = static_cast<std::uint64_t>(status.st_size);
    return true;
}

IoResult LinuxImageFile::flush()
{
    return syncData(fd_.get());
}

namespace {

// Opens with O_DIRECT where the file system has it, else without.
std::unique_ptr<LinuxImageFile> openRegularFile(const std::string& path, int flags, mode_t mode)
{
    bool direct = true;
    UniqueFd fd(::open(path.c_str(), flags | O_DIRECT, mode));
    if (!fd && errno == EINVAL) {
        // The file system does not do direct I/O at all.
        direct = false;
        fd = UniqueFd(::open(path.c_str(), flags, mode));
    }
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    return std::make_unique<LinuxImageFile>(std::move(fd), direct);
}

} // namespace

std::unique_ptr<LinuxImageFile> openLinuxImageFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    // O_NONBLOCK: a FIFO put where the image was expected must not hang the
    // open; it is refused as not a regular file right after.
    return openRegularFile(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0);
}

std::unique_ptr<LinuxImageFile> continueLinuxImageFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    return openRegularFile(path, O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0);
}

std::unique_ptr<LinuxImageFile> createLinuxImageFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    // A device node or a pipe must never be truncated or written as an image,
    // and a link is not followed: as root it could point anywhere.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return nullptr;

    return openRegularFile(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0644);
}

} // namespace orvel
