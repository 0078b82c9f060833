// The drive.ini parser of scenario folders. Input: the file's text. Beside
// the file lie an image of 8 KiB and an empty one, for the "image" key.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_temp_folder.h"
#include "fuzz/scenario_checks.h"
#include "platform/sim/scenario_drive_ini.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

using orvel::fuzz::require;

namespace {

const std::filesystem::path& driveFolder()
{
    static const orvel::fuzz::TempFolder folder("orvel-fuzz-drive-ini");
    return folder.path();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::ofstream(driveFolder() / "disk.img", std::ios::binary) << std::string(8192, '\0');
    std::ofstream(driveFolder() / "empty.img", std::ios::binary);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    const std::filesystem::path file = driveFolder() / "drive.ini";
    const std::string_view text(reinterpret_cast<const char*>(input), size);
    orvel::ScenarioDrive drive;
    std::string error;
    if (orvel::parseDriveIni(file, text, drive, error))
        orvel::fuzz::checkScenarioDrive(drive.setup);
    else
        require(error.starts_with(file.string() + ":"), "a refusal names the file");
    return 0;
}
