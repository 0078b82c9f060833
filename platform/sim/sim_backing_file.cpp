#include "platform/sim/sim_backing_file.h"

#include <cstring>
#include <ios>

namespace orvel {

bool SimBackingFile::open(const std::filesystem::path& path)
{
    stream_.open(path, std::ios::in | std::ios::out | std::ios::binary);
    writable_ = stream_.is_open();
    if (!writable_)
        stream_.open(path, std::ios::in | std::ios::binary);
    return stream_.is_open();
}

bool SimBackingFile::create(const std::filesystem::path& path)
{
    stream_.open(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    writable_ = stream_.is_open();
    return writable_;
}

bool SimBackingFile::read(std::uint64_t offset, void* buffer, std::size_t bytes)
{
    stream_.clear();
    if (!stream_.seekg(static_cast<std::streamoff>(offset)))
        return false;
    stream_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(bytes));
    const auto got = static_cast<std::size_t>(stream_.gcount());
    if (got < bytes) {
        if (stream_.bad())
            return false;
        std::memset(static_cast<char*>(buffer) + got, 0, bytes - got);
    }
    stream_.clear();
    return true;
}

bool SimBackingFile::write(std::uint64_t offset, const void* buffer, std::size_t bytes)
{
    if (!writable_)
        return false;
    stream_.clear();
    if (!stream_.seekp(static_cast<std::streamoff>(offset)))
        return false;
    stream_.write(static_cast<const char*>(buffer), static_cast<std::streamsize>(bytes));
    return stream_.good();
}

bool SimBackingFile::flush()
{
    stream_.clear();
    return static_cast<bool>(stream_.flush());
}

} // namespace orvel
