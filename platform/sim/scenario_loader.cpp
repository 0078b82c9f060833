#include "platform/sim/scenario_loader.h"

#include "platform/sim/scenario_drive_ini.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>

namespace orvel {
namespace {

constexpr const char* kDriveIni = "drive.ini";
constexpr const char* kSmartData = "smart-data.bin";
constexpr const char* kSmartThresholds = "smart-thresholds.bin";
constexpr const char* kNvmeHealth = "nvme-health.bin";

bool readFile(const std::filesystem::path& file, std::string& content)
{
    std::ifstream stream(file, std::ios::binary);
    if (!stream)
        return false;
    std::ostringstream text;
    text << stream.rdbuf();
    content = std::move(text).str();
    return !stream.bad();
}

// A 512-byte block or page the drive answers with, when its file is there.
bool readAnswer(const std::filesystem::path& file, const char* what, std::optional<SmartBlock>& block,
                std::string& error)
{
    std::error_code missing;
    if (!std::filesystem::exists(file, missing))
        return true;
    std::string content;
    if (!readFile(file, content)) {
        error = file.string() + ": cannot be read";
        return false;
    }
    if (content.size() != SmartBlock().size()) {
        error = file.string() + ": is " + std::to_string(content.size())
            + " bytes long; " + what + " is exactly 512 bytes";
        return false;
    }
    block.emplace();
    std::copy(content.begin(), content.end(), block->begin());
    return true;
}

// The drive folders in name order; hidden folders are not drives.
std::vector<std::filesystem::path> driveFolders(const std::filesystem::path& folder, std::error_code& error)
{
    std::vector<std::filesystem::path> folders;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_directory() && !entry.path().filename().string().starts_with('.'))
            folders.push_back(entry.path());
    }
    std::sort(folders.begin(), folders.end(),
              [](const auto& a, const auto& b) { return a.filename().string() < b.filename().string(); });
    return folders;
}

} // namespace

ScenarioLoad loadScenario(const std::filesystem::path& folder)
{
    ScenarioLoad load;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        load.error = folder.string() + ": no such scenario folder";
        return load;
    }
    const std::vector<std::filesystem::path> folders = driveFolders(folder, error);
    if (error) {
        load.error = folder.string() + ": cannot be read (" + error.message() + ")";
        return load;
    }
    if (folders.empty()) {
        load.error = folder.string() + ": holds no drive folders (one sub-folder with a drive.ini per drive)";
        return load;
    }

    std::map<std::string, std::string> volumeOwners;  // volume name -> its drive.ini
    for (const std::filesystem::path& driveFolder : folders) {
        const std::filesystem::path ini = driveFolder / kDriveIni;
        std::string text;
        if (!readFile(ini, text)) {
            load.error = ini.string() + ": missing or unreadable (every drive folder needs one)";
            return {{}, load.error};
        }
        ScenarioDrive drive;
        if (!parseDriveIni(ini, text, drive, load.error))
            return {{}, load.error};
        for (const SimVolumeSetup& volume : drive.setup.volumes) {
            const auto [owner, added] = volumeOwners.emplace(volume.name, ini.string());
            if (!added) {
                load.error = ini.string() + ":" + std::to_string(drive.volumesLine) + ": volume name \"" + volume.name
                    + "\" is already used in " + owner->second;
                return {{}, load.error};
            }
        }
        constexpr const char* kSmartBlock = "a S.M.A.R.T. block";
        if (!readAnswer(driveFolder / kSmartData, kSmartBlock, drive.setup.smartData, load.error)
            || !readAnswer(driveFolder / kSmartThresholds, kSmartBlock, drive.setup.smartThresholds, load.error)
            || !readAnswer(driveFolder / kNvmeHealth, "an NVMe health log page", drive.setup.nvmeHealth, load.error))
            return {{}, load.error};
        // A drive speaks NVMe or ATA, never both.
        if (drive.setup.nvmeHealth && (drive.setup.smartData || drive.setup.smartThresholds)) {
            load.error = (driveFolder / kNvmeHealth).string() + ": an NVMe drive answers no ATA S.M.A.R.T. commands; "
                + "keep either this file or " + kSmartData + " and " + kSmartThresholds;
            return {{}, load.error};
        }
        load.drives.push_back(std::move(drive.setup));
    }
    return load;
}

} // namespace orvel
