#include "support/sim_system_services.h"

#include <mutex>
#include <set>
#include <system_error>
#include <utility>

namespace orvel::test {
namespace {

std::mutex heldLocksMutex;
std::set<std::string> heldLocks;

class ProcessLock : public InstanceLock {
public:
    explicit ProcessLock(std::string name) : name_(std::move(name)) {}
    ~ProcessLock() override
    {
        const std::lock_guard lock(heldLocksMutex);
        heldLocks.erase(name_);
    }

private:
    std::string name_;
};

} // namespace

SimSystemServices::SimSystemServices(std::filesystem::path logFolder) : logFolder_(std::move(logFolder)) {}

std::string SimSystemServices::logDirectory()
{
    std::error_code error;
    std::filesystem::create_directories(logFolder_, error);
    if (error)
        return {};
    return logFolder_.string();
}

std::unique_ptr<InstanceLock> SimSystemServices::acquireInstanceLock(const std::string& name)
{
    const std::lock_guard lock(heldLocksMutex);
    if (!heldLocks.insert(name).second)
        return nullptr;
    return std::make_unique<ProcessLock>(name);
}

} // namespace orvel::test
