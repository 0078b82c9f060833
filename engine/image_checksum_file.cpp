#include "engine/image_checksum_file.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace orvel {

namespace {

namespace fs = std::filesystem;

bool isHexDigest(const std::string& text)
{
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
}

// The line sha256sum writes: a name with a backslash or a line break in it
// has those escaped, and the line then starts with a backslash.
std::string checksumLine(const std::string& hexDigest, const std::string& fileName)
{
    std::string escaped;
    for (const char c : fileName) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else
            escaped += c;
    }
    const bool needsEscape = escaped.size() != fileName.size();
    return (needsEscape ? "\\" : "") + hexDigest + "  " + escaped + "\n";
}

} // namespace

std::string checksumPathFor(const std::string& imagePath)
{
    return imagePath + ".sha256";
}

bool writeChecksumFile(const std::string& imagePath, const std::string& hexDigest)
{
    const std::string path = checksumPathFor(imagePath);
    const std::string temporary = path + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << checksumLine(hexDigest, fs::path(imagePath).filename().string());
        file.close();
        if (file.fail()) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error)
        fs::remove(temporary, error);
    return !error;
}

std::optional<std::string> readChecksumFile(const std::string& imagePath)
{
    std::ifstream file(checksumPathFor(imagePath), std::ios::binary);
    if (!file.is_open())
        return std::nullopt;
    std::string digest;
    file >> digest;
    // sha256sum writes a backslash first when the file name needed escaping.
    if (digest.starts_with('\\'))
        digest.erase(0, 1);
    if (!isHexDigest(digest))
        return std::string();
    std::transform(digest.begin(), digest.end(), digest.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return digest;
}

void removeChecksumFile(const std::string& imagePath)
{
    std::error_code ignored;
    fs::remove(checksumPathFor(imagePath), ignored);
}

} // namespace orvel
