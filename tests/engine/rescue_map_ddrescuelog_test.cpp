#include "engine/rescue_map.h"

#include "support/run_command.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>

namespace orvel {
namespace {

// A byte figure of `ddrescuelog -t`, as in "    bad-sector:      512 B,  in  1 area(s)".
// Figures of 10000 bytes and more are shown rounded with a multiplier, so the
// map below stays under that.
std::optional<std::uint64_t> shownBytes(const std::string& output, const std::string& name)
{
    std::smatch match;
    if (!std::regex_search(output, match, std::regex("(^|\\s)" + name + ":\\s+(\\d+) B,")))
        return std::nullopt;
    return std::stoull(match[2].str());
}

TEST(RescueMapDdrescuelog, ReadsOurMapWithTheSameTotals)
{
    const std::string ddrescuelog = test::findProgram("ddrescuelog");
    if (ddrescuelog.empty())
        GTEST_SKIP() << "ddrescuelog is not installed";

    MapHeader header;
    header.source.model = "WDC WD10EZEX-08WN4A0";
    header.source.serial = "WD-WCC6Y1234567";
    header.source.sizeBytes = 1000204886016;
    header.source.sectorSize = 512;
    header.destination.kind = MappedDevice::Kind::ImageFile;
    header.destination.path = "/home/me/rescue 1.img";
    header.startSector = 8;
    header.sectorCount = 16;
    RescueMap map(header);
    map.markSectors(8, 4, MapStatus::Finished);
    map.markSectors(12, 2, MapStatus::BadSector);
    map.markSectors(14, 1, MapStatus::NonTrimmed);
    map.markSectors(15, 1, MapStatus::NonScraped);
    map.markSectors(20, 1, MapStatus::Finished);
    map.currentPos = 15 * 512;

    test::TempDir folder;
    const std::string path = folder.file("sdb.map");
    ASSERT_TRUE(saveMap(map, path));
    const std::vector<std::string> command{ddrescuelog, "-t", path};
    const test::CommandResult result = test::runCommand(command);
    ASSERT_EQ(result.exitStatus, 0) << test::describeCommand(command) << "\n" << result.output;

    const std::pair<const char*, MapStatus> figures[] = {
        {"non-tried", MapStatus::NonTried},     {"rescued", MapStatus::Finished},
        {"non-trimmed", MapStatus::NonTrimmed}, {"non-scraped", MapStatus::NonScraped},
        {"bad-sector", MapStatus::BadSector},
    };
    for (const auto& [name, status] : figures)
        EXPECT_EQ(shownBytes(result.output, name), map.bytesWith(status)) << name << " in\n" << result.output;
}

} // namespace
} // namespace orvel
