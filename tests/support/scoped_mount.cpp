#include "support/scoped_mount.h"

#include "platform/linux/mountinfo.h"
#include "support/run_command.h"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace orvel::test {

bool makeExt4(const std::string& device, std::string& error)
{
    const std::vector<std::string> mkfs = {"mkfs.ext4", "-q", "-F", device};
    const CommandResult made = runCommand(mkfs);
    if (made.exitStatus == 0)
        return true;
    error = describeCommand(mkfs) + " failed: " + made.output;
    return false;
}

std::unique_ptr<ScopedMount> ScopedMount::create(const std::string& source, const std::string& type, std::string& error)
{
    auto folder = std::make_unique<TempDir>();
    if (folder->path().empty()) {
        error = "cannot make a mount point";
        return nullptr;
    }
    const std::string mountPoint = folder->path();
    auto mount = createAt(source, type, mountPoint, error);
    if (mount)
        mount->folder_ = std::move(folder);
    return mount;
}

std::unique_ptr<ScopedMount> ScopedMount::createAt(const std::string& source, const std::string& type,
                                                   const std::string& mountPoint, std::string& error)
{
    if (::mount(source.c_str(), mountPoint.c_str(), type.c_str(), 0, nullptr) != 0) {
        error = "mount " + source + " on " + mountPoint + ": " + std::strerror(errno);
        return nullptr;
    }
    std::unique_ptr<ScopedMount> mount(new ScopedMount);
    mount->mountPoint_ = mountPoint;
    // Our mount is the latest one at that point.
    for (const MountEntry& entry : readMountTable()) {
        if (entry.mountPoint == mountPoint)
            mount->mountId_ = entry.mountId;
    }
    if (mount->mountId_ == 0) {
        error = "the mount on " + mountPoint + " is not in the mount table";
        ::umount2(mountPoint.c_str(), UMOUNT_NOFOLLOW);
        return nullptr;
    }
    return mount;
}

bool ScopedMount::isMounted() const
{
    for (const MountEntry& entry : readMountTable()) {
        if (entry.mountId == mountId_ && entry.mountPoint == mountPoint_)
            return true;
    }
    return false;
}

ScopedMount::~ScopedMount()
{
    const std::vector<MountEntry> table = readMountTable();
    for (const MountEntry& entry : table) {
        if (entry.mountId == mountId_ && entry.mountPoint == mountPoint_ && !isOvermounted(table, entry))
            ::umount2(mountPoint_.c_str(), UMOUNT_NOFOLLOW);
    }
}

} // namespace orvel::test
