#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel::sysfs {

// An attribute's text without surrounding blanks, line ends and NUL padding.
std::string trimAttribute(std::string_view text);

// A whole unsigned decimal number such as "9\n"; nullopt for anything else.
std::optional<std::uint64_t> parseUnsigned(std::string_view text);

} // namespace orvel::sysfs
