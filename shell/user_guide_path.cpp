#include "shell/user_guide_path.h"

namespace orvel {

namespace {

constexpr char kUserGuideName[] = "Orvel Disk Image.html";
constexpr char kDocFolderFromExecutable[] = "../share/doc/orvel-disk-image";

} // namespace

std::filesystem::path userGuidePath(const std::filesystem::path& executableFolder)
{
    const std::filesystem::path beside = executableFolder / kUserGuideName;
    const std::filesystem::path inDocFolder =
        (executableFolder / kDocFolderFromExecutable / kUserGuideName).lexically_normal();
    std::error_code unused;
    if (!std::filesystem::exists(beside, unused) && std::filesystem::exists(inDocFolder, unused))
        return inDocFolder;
    return beside;
}

} // namespace orvel
