#include "platform/windows/full_path.h"

#include "platform/windows/wide_text.h"

#include <windows.h>

namespace orvel::windows {

std::optional<std::wstring> fullPathOf(const std::string& path)
{
    const std::optional<std::wstring> wide = widen(path);
    // An embedded zero would end the name early, at some other file.
    if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos)
        return std::nullopt;
    // The current folder can change between the two calls; a result that
    // still does not fit is a failure rather than a cut path.
    const DWORD needed = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::nullopt;
    std::wstring full(needed, L'\0');
    const DWORD written = ::GetFullPathNameW(wide->c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed)
        return std::nullopt;
    full.resize(written);
    return full;
}

} // namespace orvel::windows
