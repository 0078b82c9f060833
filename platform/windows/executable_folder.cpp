#include "platform/executable_folder.h"

#include <windows.h>

#include <string>

namespace orvel {

std::filesystem::path executableFolder()
{
    // The path can be longer than MAX_PATH; a result that fills the buffer
    // may have been cut, so the buffer grows until it does not.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).parent_path();
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

} // namespace orvel
