#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvel::windows {

// The program's texts are UTF-8; the system's wide functions take UTF-16.
// Nullopt for text that is not valid UTF-8 (it would name some other file).
std::optional<std::wstring> widen(std::string_view utf8);

// UTF-16 from the system as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string narrow(std::wstring_view utf16);

} // namespace orvel::windows
