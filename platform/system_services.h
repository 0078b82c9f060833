#pragma once

#include <memory>
#include <string>

namespace orvel {

// Held for the life of the process so that a second instance can tell.
class InstanceLock {
public:
    virtual ~InstanceLock() = default;
};

class SystemServices {
public:
    virtual ~SystemServices() = default;

    // Absolute folder for operation logs, created on demand; empty when it
    // cannot be had.
    virtual std::string logDirectory() = 0;

    // Null when another process holds the lock of that name.
    virtual std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) = 0;
};

} // namespace orvel
