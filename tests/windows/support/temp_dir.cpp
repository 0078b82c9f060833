// The Windows side of support/temp_dir.h.

#include "support/temp_dir.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

namespace orvel::test {
namespace {

std::atomic<unsigned> folderCount = 0;

std::string utf8Of(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

TempDir::TempDir()
{
    wchar_t base[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    if (length == 0 || length > MAX_PATH)
        return;
    // The process id and a count make the name unique among the tests that
    // run at the same time; CreateDirectoryW refuses a name already taken.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder =
            std::filesystem::path(base) / ("orvel-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                           std::to_string(folderCount++));
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            path_ = utf8Of(folder);
            return;
        }
    }
}

TempDir::~TempDir()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(std::u8string(path_.begin(), path_.end())), ignored);
}

} // namespace orvel::test
