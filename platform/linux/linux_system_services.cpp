#include "platform/linux/linux_system_services.h"

#include "platform/linux/unique_fd.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvel {

namespace {

constexpr const char* kFolderName = "orvel-disk-image";

bool isAbsolute(const std::string& path)
{
    return !path.empty() && path.front() == '/';
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

class FlockInstanceLock final : public InstanceLock {
public:
    explicit FlockInstanceLock(UniqueFd fd) : fd_(std::move(fd)) {}

private:
    UniqueFd fd_;  // closing it releases the lock
};

} // namespace

UserFolders currentUserFolders()
{
    UserFolders folders;
    folders.isRoot = ::geteuid() == 0;
    folders.xdgStateHome = environment("XDG_STATE_HOME");
    folders.xdgRuntimeDir = environment("XDG_RUNTIME_DIR");
    folders.home = environment("HOME");
    if (folders.home.empty()) {
        if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_dir != nullptr)
            folders.home = user->pw_dir;
    }
    folders.tempDir = environment("TMPDIR");
    if (!isAbsolute(folders.tempDir))
        folders.tempDir = "/tmp";
    return folders;
}

std::string chooseLogDirectory(const UserFolders& folders)
{
    if (folders.isRoot)
        return std::string("/var/log/") + kFolderName;
    if (isAbsolute(folders.xdgStateHome))
        return folders.xdgStateHome + "/" + kFolderName;
    if (isAbsolute(folders.home))
        return folders.home + "/.local/state/" + kFolderName;
    return {};
}

std::string chooseLockDirectory(const UserFolders& folders, bool runLockExists)
{
    if (isAbsolute(folders.xdgRuntimeDir))
        return folders.xdgRuntimeDir;
    if (folders.isRoot && runLockExists)
        return "/run/lock";
    return folders.tempDir;
}

std::unique_ptr<InstanceLock> lockInstanceFile(const std::string& path)
{
    // O_NOFOLLOW: in a shared temp folder another user could plant a link.
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644));
    if (!fd)
        return nullptr;
    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR)
            return nullptr;
    }
    return std::make_unique<FlockInstanceLock>(std::move(fd));
}

std::string LinuxSystemServices::logDirectory()
{
    const std::string folder = chooseLogDirectory(currentUserFolders());
    if (folder.empty())
        return {};
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!std::filesystem::is_directory(folder, failure))
        return {};
    return folder;
}

std::unique_ptr<InstanceLock> LinuxSystemServices::acquireInstanceLock(const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return nullptr;
    const std::string folder = chooseLockDirectory(currentUserFolders(), ::access("/run/lock", W_OK) == 0);
    return lockInstanceFile(folder + "/" + name + ".lock");
}

} // namespace orvel
