#pragma once

#include <filesystem>

namespace orvel {

// The folder that holds the running executable; empty when it cannot be told.
std::filesystem::path executableFolder();

} // namespace orvel
