#pragma once

#include "platform/system_services.h"

#include <string>

namespace orvel::windows {

// Logs go to C:\Users; the single-instance lock is a named mutex, which the
// system releases when the process ends, however it ends.
class WindowsSystemServices final : public SystemServices {
public:
    std::string logDirectory() override;
    std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name) override;
};

} // namespace orvel::windows
