#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orvel::test {

// The folder of real drives' data (`smart`, `nvme`): ORVEL_TESTDATA when it
// is set, else the shared test data beside the repository.
std::filesystem::path testDataFolder(const std::string& kind);

// The non-empty lines of an expected-output file, line ends of either kind.
std::vector<std::string> expectedLines(const std::filesystem::path& file);

// The fields of a tab-separated line.
std::vector<std::string> splitTabs(const std::string& line);

} // namespace orvel::test
