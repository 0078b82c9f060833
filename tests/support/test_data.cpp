#include "support/test_data.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orvel::test {

std::filesystem::path testDataFolder(const std::string& kind)
{
    if (const char* folder = std::getenv("ORVEL_TESTDATA"); folder != nullptr && *folder != '\0')
        return std::filesystem::path(folder) / kind;
    return std::filesystem::path(ORVEL_SOURCE_DIR) / ".." / "shared" / "testdata" / kind;
}

std::vector<std::string> expectedLines(const std::filesystem::path& file)
{
    std::ifstream stream(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    return fields;
}

} // namespace orvel::test
