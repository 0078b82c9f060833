// The scenario loader over a whole folder. Input: the folder's files, each
// after a line "=== path" (a drive folder and a file name, such as
// "=== 1-disk/drive.ini"), its content running to the next such line.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_temp_folder.h"
#include "fuzz/scenario_checks.h"
#include "platform/sim/scenario_loader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

using orvel::fuzz::require;

namespace {

constexpr std::string_view kFileMark = "=== ";
constexpr std::size_t kMostFiles = 16;
constexpr std::size_t kMostDepth = 2;

const std::filesystem::path& scenarioFolder()
{
    static const orvel::fuzz::TempFolder folder("orvel-fuzz-scenario");
    return folder.path();
}

bool isPlainComponent(std::string_view component)
{
    return !component.empty() && component != "." && component != ".."
        && std::all_of(component.begin(), component.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.'
                   || c == '-' || c == '_';
           });
}

// The path a file mark names, kept inside the scenario folder: only plain
// components, at most two deep. Empty when nothing usable is left.
std::filesystem::path relativePath(std::string_view named)
{
    std::filesystem::path path;
    std::size_t depth = 0;
    while (!named.empty() && depth < kMostDepth) {
        const std::size_t slash = std::min(named.find('/'), named.size());
        const std::string_view component = named.substr(0, slash);
        named.remove_prefix(std::min(slash + 1, named.size()));
        if (isPlainComponent(component)) {
            path /= std::string(component);
            ++depth;
        }
    }
    return path;
}

void writeScenario(std::string_view input)
{
    std::error_code ignored;
    std::filesystem::remove_all(scenarioFolder(), ignored);
    std::filesystem::create_directories(scenarioFolder(), ignored);
    if (!input.starts_with(kFileMark))
        return;
    const std::string separator = "\n" + std::string(kFileMark);
    std::size_t written = 0;
    std::size_t at = kFileMark.size();
    while (at <= input.size() && written < kMostFiles) {
        const std::size_t end = std::min(input.find(separator, at), input.size());
        const std::string_view piece = input.substr(at, end - at);
        at = end + separator.size();
        const std::size_t lineEnd = std::min(piece.find('\n'), piece.size());
        const std::filesystem::path path = relativePath(piece.substr(0, lineEnd));
        const std::string_view content = piece.substr(std::min(lineEnd + 1, piece.size()));
        if (path.empty())
            continue;
        const std::filesystem::path file = scenarioFolder() / path;
        std::filesystem::create_directories(file.parent_path(), ignored);
        std::ofstream(file, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
        ++written;
    }
}

std::vector<std::filesystem::path> driveFolders()
{
    std::vector<std::filesystem::path> folders;
    for (const auto& entry : std::filesystem::directory_iterator(scenarioFolder()))
        if (entry.is_directory() && !entry.path().filename().string().starts_with('.'))
            folders.push_back(entry.path());
    std::sort(folders.begin(), folders.end(),
              [](const auto& a, const auto& b) { return a.filename().string() < b.filename().string(); });
    return folders;
}

// S.M.A.R.T. blocks and the NVMe health page alike.
void checkAnswerBlock(const std::optional<orvel::SmartBlock>& block, const std::filesystem::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    require(block.has_value() == stream.is_open(), "a drive answers health reads exactly when its block is there");
    if (!block)
        return;
    const std::string content{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    require(content.size() == block->size()
                && std::equal(content.begin(), content.end(), block->begin(),
                              [](char byte, std::uint8_t kept) { return static_cast<std::uint8_t>(byte) == kept; }),
            "a drive's block is its file's 512 bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    writeScenario(std::string_view(reinterpret_cast<const char*>(input), size));
    const orvel::ScenarioLoad load = orvel::loadScenario(scenarioFolder());
    if (!load.error.empty()) {
        require(load.drives.empty(), "a refused scenario has no drives");
        require(load.error.starts_with(scenarioFolder().string()), "a refusal names the file or folder at fault");
        return 0;
    }

    const std::vector<std::filesystem::path> folders = driveFolders();
    require(!load.drives.empty() && load.drives.size() == folders.size(), "every drive folder is one drive");
    std::set<std::string> volumeNames;
    for (std::size_t drive = 0; drive < folders.size(); ++drive) {
        const orvel::SimDriveSetup& setup = load.drives[drive];
        orvel::fuzz::checkScenarioDrive(setup);
        for (const orvel::SimVolumeSetup& volume : setup.volumes)
            require(volumeNames.insert(volume.name).second, "no two drives share a volume name");
        checkAnswerBlock(setup.smartData, folders[drive] / "smart-data.bin");
        checkAnswerBlock(setup.smartThresholds, folders[drive] / "smart-thresholds.bin");
        checkAnswerBlock(setup.nvmeHealth, folders[drive] / "nvme-health.bin");
        require(!setup.nvmeHealth || !(setup.smartData || setup.smartThresholds),
                "an NVMe drive answers no ATA S.M.A.R.T. reads");
    }
    return 0;
}
