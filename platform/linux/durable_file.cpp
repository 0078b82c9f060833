#include "platform/durable_file.h"

#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace orvel {

namespace {

bool writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A rename is only as durable as the folder entry it changed.
bool syncFolderOf(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const char* folder = parent.empty() ? "." : parent.c_str();
    const UniqueFd fd(::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd && ::fsync(fd.get()) == 0;
}

} // namespace

bool replaceFileDurably(const std::string& path, std::string_view contents)
{
    const std::string temporary = path + ".tmp";
    bool written = false;
    {
        // A link planted under the temporary name is not followed.
        const UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644));
        if (!fd)
            return false;
        written = writeAll(fd.get(), contents) && ::fsync(fd.get()) == 0;
    }
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return syncFolderOf(path);
}

} // namespace orvel
