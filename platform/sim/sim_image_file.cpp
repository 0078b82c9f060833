#include "platform/sim/sim_image_file.h"

#include "platform/sim/sim_direct_io.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace orvel {
namespace {

constexpr std::uint32_t kFileBlockSize = 512;

} // namespace

std::unique_ptr<SimImageFile> SimImageFile::create(const std::filesystem::path& path)
{
    std::unique_ptr<SimImageFile> image(new SimImageFile);
    if (!image->file_.create(path))
        return nullptr;
    return image;
}

std::unique_ptr<SimImageFile> SimImageFile::open(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error)))
        return nullptr;
    const std::uintmax_t length = std::filesystem::file_size(path, error);
    std::unique_ptr<SimImageFile> image(new SimImageFile);
    if (error || !image->file_.open(path))
        return nullptr;
    image->length_ = length;
    return image;
}

IoResult SimImageFile::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    if (!meetsDirectIoRules(offset, buffer, bytes, kFileBlockSize))
        return {false, EINVAL};
    const std::lock_guard lock(mutex_);
    if (!fitsInside(offset, bytes, length_))
        return {false, EIO};
    if (!file_.read(offset, buffer, bytes))
        return {false, EIO};
    return {true, 0};
}

IoResult SimImageFile::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    if (!meetsDirectIoRules(offset, buffer, bytes, kFileBlockSize))
        return {false, EINVAL};
    const std::lock_guard lock(mutex_);
    if (!file_.write(offset, buffer, bytes))
        return {false, EIO};
    length_ = std::max(length_, offset + bytes);
    return {true, 0};
}

bool SimImageFile::queryLength(std::uint64_t& lengthBytes)
{
    const std::lock_guard lock(mutex_);
    lengthBytes = length_;
    return true;
}

IoResult SimImageFile::flush()
{
    const std::lock_guard lock(mutex_);
    if (!file_.flush())
        return {false, EIO};
    return {true, 0};
}

} // namespace orvel
