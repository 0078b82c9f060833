#pragma once

#include <filesystem>

namespace orvel {

// Where the user guide is: beside the executable (a build tree, the install
// under libexec), else in the doc folder of the executable's prefix
// (<prefix>/bin/.. /share/doc/orvel-disk-image, where the Debian package puts
// it; relative, so that an unpacked package finds it too). When neither
// exists, the place beside the executable, so that the failure names it.
std::filesystem::path userGuidePath(const std::filesystem::path& executableFolder);

} // namespace orvel
