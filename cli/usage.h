#pragma once

#include <iosfwd>

namespace orvel::cli {

inline constexpr const char* kProgramVersion = "1.0";

void printUsage(std::ostream& out);

} // namespace orvel::cli
