#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// The display name of a S.M.A.R.T. attribute number, letter for letter as the
// drive health panel shows it; empty for a number the catalogue does not know
// (the panel still shows that attribute's row).
std::string AttributeName(std::uint8_t attributeId);

} // namespace orvel
