#pragma once

#include <optional>
#include <string>

namespace orvel::windows {

// The absolute form of a UTF-8 path, as the system resolves it
// (GetFullPathNameW: relative to the current folder, "." and ".." removed,
// reserved names such as NUL turned into device paths). Nullopt when the
// text is not valid UTF-8 or the system cannot resolve it.
std::optional<std::wstring> fullPathOf(const std::string& path);

} // namespace orvel::windows
