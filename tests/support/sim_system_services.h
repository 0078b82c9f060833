#pragma once

#include "platform/system_services.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orvel::test {

// System services for tests: logs go to a folder the test chose, and the
// instance lock is held within this process only.
class SimSystemServices : public SystemServices {
public:
    explicit SimSystemServices(std::filesystem::path logFolder);

    std::string logDirectory() override;
    std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) override;

private:
    std::filesystem::path logFolder_;
};

} // namespace orvel::test
