#include "platform/linux/linux_image_file.h"

#include "platform/linux/exact_transfer.h"

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
    return transfer([&](int fd) { return writeExactAt(fd, offset, buffer, bytes); });
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

std::unique_ptr<LinuxImageFile> createLinuxImageFile(const std::string& path)
{
    if (path.empty())
        return nullptr;
    // A device node or a pipe must never be truncated or written as an image,
    // and a link is not followed: as root it could point anywhere.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return nullptr;

    constexpr int kFlags = O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    constexpr mode_t kMode = 0644;
    bool direct = true;
    UniqueFd fd(::open(path.c_str(), kFlags | O_DIRECT, kMode));
    if (!fd && errno == EINVAL) {
        // The file system does not do direct I/O at all.
        direct = false;
        fd = UniqueFd(::open(path.c_str(), kFlags, kMode));
    }
    struct stat status {};
    if (!fd || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    return std::make_unique<LinuxImageFile>(std::move(fd), direct);
}

} // namespace orvel
