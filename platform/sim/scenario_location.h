#pragma once

#include "platform/executable_folder.h"

#include <filesystem>

namespace orvel {

// The built-in demo scenario: scenarios/demo beside the executable (a build
// tree, the install under libexec), else in share/orvel-disk-image of the
// executable's prefix (the Debian package, which keeps data out of /usr/bin),
// else in the source tree for a program run where it was built without the copy.
std::filesystem::path builtInScenarioFolder();
std::filesystem::path builtInScenarioFolder(const std::filesystem::path& executableFolder);

// Where the sparse files of a scenario's drives live: a folder of its own
// per scenario folder under $XDG_CACHE_HOME/orvel-disk-image (default
// ~/.cache), so that two scenarios never share a drive's content.
std::filesystem::path scenarioCacheFolder(const std::filesystem::path& scenarioFolder);

} // namespace orvel
