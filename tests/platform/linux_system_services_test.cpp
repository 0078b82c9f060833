#include "platform/linux/linux_system_services.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace orvel {
namespace {

UserFolders user()
{
    UserFolders folders;
    folders.home = "/home/ann";
    folders.tempDir = "/tmp";
    return folders;
}

TEST(LinuxSystemServicesTest, LogDirectoryFollowsTheUserAndXdgState)
{
    UserFolders root = user();
    root.isRoot = true;
    root.xdgStateHome = "/home/ann/state";
    EXPECT_EQ(chooseLogDirectory(root), "/var/log/orvel-disk-image");

    UserFolders ann = user();
    EXPECT_EQ(chooseLogDirectory(ann), "/home/ann/.local/state/orvel-disk-image");
    ann.xdgStateHome = "/data/state";
    EXPECT_EQ(chooseLogDirectory(ann), "/data/state/orvel-disk-image");
    ann.xdgStateHome = "relative/state";
    EXPECT_EQ(chooseLogDirectory(ann), "/home/ann/.local/state/orvel-disk-image") << "relative XDG paths are ignored";
    ann.home.clear();
    EXPECT_EQ(chooseLogDirectory(ann), "") << "no relative log folder, ever";
}

TEST(LinuxSystemServicesTest, LockDirectoryPrefersTheRuntimeDirectory)
{
    UserFolders ann = user();
    EXPECT_EQ(chooseLockDirectory(ann, true), "/tmp");
    ann.xdgRuntimeDir = "/run/user/1000";
    EXPECT_EQ(chooseLockDirectory(ann, true), "/run/user/1000");

    UserFolders root = user();
    root.isRoot = true;
    EXPECT_EQ(chooseLockDirectory(root, true), "/run/lock");
    EXPECT_EQ(chooseLockDirectory(root, false), "/tmp");
}

// Runs `body` in a child process and gives its exit status.
template <typename Body>
int inChildProcess(Body body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST(LinuxSystemServicesTest, InstanceLockKeepsOutASecondProcessUntilTheFirstEnds)
{
    test::TempDir folder;
    const std::string path = folder.file("Orvel Disk Imager.lock");
    const auto tryLock = [&path] { return lockInstanceFile(path) ? 0 : 1; };

    auto held = lockInstanceFile(path);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(inChildProcess(tryLock), 1) << "a second process got the lock";
    EXPECT_EQ(lockInstanceFile(path), nullptr) << "a second open in this process got the lock";
    held.reset();
    EXPECT_EQ(inChildProcess(tryLock), 0) << "the released lock stays taken";

    // A process that ends without releasing (a crash) leaves no lock behind.
    const int holderEnded = inChildProcess([&path] {
        auto lock = lockInstanceFile(path);
        if (!lock)
            return 1;
        ::_exit(0);
    });
    EXPECT_EQ(holderEnded, 0);
    EXPECT_NE(lockInstanceFile(path), nullptr);
}

TEST(LinuxSystemServicesTest, InstanceLockNamesCannotLeaveTheLockFolder)
{
    LinuxSystemServices services;
    for (const char* name : {"", ".", "..", "../x", "a/b"})
        EXPECT_EQ(services.acquireInstanceLock(name), nullptr) << '"' << name << '"';
}

} // namespace
} // namespace orvel
