#pragma once

#include "platform/system_services.h"

#include <string>

namespace orvel {

// Where the program keeps its logs and its single-instance lock on Linux.
class LinuxSystemServices final : public SystemServices {
public:
    std::string logDirectory() override;
    std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) override;
};

// What the environment says, for the choice of folders.
struct UserFolders {
    bool isRoot = false;
    std::string xdgStateHome;
    std::string xdgRuntimeDir;
    std::string home;
    std::string tempDir;
};

UserFolders currentUserFolders();

// /var/log/orvel-disk-image for root; $XDG_STATE_HOME/orvel-disk-image
// (default ~/.local/state/orvel-disk-image) otherwise. Empty when no
// absolute folder can be named. Relative XDG values are ignored, as the XDG
// rules ask.
std::string chooseLogDirectory(const UserFolders& folders);

// $XDG_RUNTIME_DIR, else /run/lock for root, else the temp folder.
std::string chooseLockDirectory(const UserFolders& folders, bool runLockExists);

// Takes the lock file `path` with an exclusive flock, without waiting. Null
// when another open file holds it or the file cannot be opened. The kernel
// drops the lock when the process ends, however it ends.
std::unique_ptr<InstanceLock> lockInstanceFile(const std::string& path);

} // namespace orvel
