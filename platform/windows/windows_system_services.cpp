#include "platform/windows/windows_system_services.h"

#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace orvel::windows {

namespace {

// Logs are written by absolute path; the process's current folder is never
// changed for them.
constexpr char kLogFolder[] = "C:\\Users";

class MutexInstanceLock final : public InstanceLock {
public:
    explicit MutexInstanceLock(UniqueHandle mutex) : mutex_(std::move(mutex)) {}

private:
    UniqueHandle mutex_;  // the last handle closed ends the mutex
};

} // namespace

std::string WindowsSystemServices::logDirectory()
{
    const std::filesystem::path folder(kLogFolder);
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (!std::filesystem::is_directory(folder, failure))
        return {};
    return kLogFolder;
}

std::unique_ptr<InstanceLock> WindowsSystemServices::acquireInstanceLock(const std::string& name)
{
    // A backslash would put the mutex into another namespace (Global\...);
    // a zero would cut the name short.
    constexpr std::wstring_view kRefused(L"\\\0", 2);
    const std::optional<std::wstring> wideName = widen(name);
    if (!wideName || wideName->empty() || wideName->find_first_of(kRefused) != std::wstring::npos)
        return nullptr;
    UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, wideName->c_str()));
    if (!mutex || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return nullptr;
    return std::make_unique<MutexInstanceLock>(std::move(mutex));
}

} // namespace orvel::windows
