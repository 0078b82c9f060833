#pragma once

#include "platform/executable_folder.h"

#include <filesystem>

namespace orvel {

// The built-in demo scenario: scenarios/demo beside the executable, or in the
// source tree for a program run where it was built without the copy.
std::filesystem::path builtInScenarioFolder();

// Where the sparse files of a scenario's drives live: a folder of its own
// per scenario folder under $XDG_CACHE_HOME/orvel-disk-image (default
// ~/.cache), so that two scenarios never share a drive's content.
std::filesystem::path scenarioCacheFolder(const std::filesystem::path& scenarioFolder);

} // namespace orvel
