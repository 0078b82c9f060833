#include "engine/rescue_map.h"

#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace orvel {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr std::uint32_t kSector = 512;

// Sectors 8 to 23 of a drive copied into an image file: bytes 0x1000 to 0x3000.
MapHeader driveToImage()
{
    MapHeader header;
    header.source.kind = MappedDevice::Kind::Drive;
    header.source.model = "WDC WD10EZEX-08WN4A0";
    header.source.serial = "WD-WCC6Y1234567";
    header.source.sizeBytes = 1000204886016;
    header.source.sectorSize = kSector;
    header.destination.kind = MappedDevice::Kind::ImageFile;
    header.destination.path = "/home/me/rescue.img";
    header.destination.sectorSize = kSector;
    header.startSector = 8;
    header.sectorCount = 16;
    return header;
}

// An extent in sectors, for tables that read more easily than bytes.
struct Sectors {
    std::uint64_t first = 0;
    std::uint64_t count = 0;
    MapStatus status = MapStatus::NonTried;
};

std::vector<MapExtent> inBytes(const std::vector<Sectors>& extents)
{
    std::vector<MapExtent> bytes;
    for (const Sectors& extent : extents)
        bytes.push_back(MapExtent{extent.first * kSector, extent.count * kSector, extent.status});
    return bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

constexpr MapStatus kAllStatuses[] = {MapStatus::NonTried, MapStatus::NonTrimmed, MapStatus::NonScraped,
                                      MapStatus::BadSector, MapStatus::Finished};

struct MarkingCase {
    const char* name;
    std::vector<Sectors> marks;
    std::vector<Sectors> expected;
};

TEST(RescueMap, MarkingSplitsClipsAndMergesStretches)
{
    constexpr auto kHuge = std::numeric_limits<std::uint64_t>::max();
    const auto q = MapStatus::NonTried;
    const auto f = MapStatus::Finished;
    const auto b = MapStatus::BadSector;
    const auto t = MapStatus::NonTrimmed;
    const auto s = MapStatus::NonScraped;
    const MarkingCase cases[] = {
        {"a new map is one non-tried stretch", {}, {{8, 16, q}}},
        {"inside a stretch", {{12, 2, f}}, {{8, 4, q}, {12, 2, f}, {14, 10, q}}},
        {"at the start of the domain", {{8, 3, b}}, {{8, 3, b}, {11, 13, q}}},
        {"at the end of the domain", {{20, 4, f}}, {{8, 12, q}, {20, 4, f}}},
        {"clipped before the domain", {{4, 6, f}}, {{8, 2, f}, {10, 14, q}}},
        {"clipped on both sides", {{0, 100, f}}, {{8, 16, f}}},
        {"wholly outside", {{0, 8, f}, {24, 10, f}}, {{8, 16, q}}},
        {"no sectors", {{12, 0, f}}, {{8, 16, q}}},
        {"a count past 2^64 bytes", {{20, kHuge, f}}, {{8, 12, q}, {20, 4, f}}},
        {"across several stretches",
         {{10, 2, f}, {14, 2, b}, {18, 2, s}, {11, 8, t}},
         {{8, 2, q}, {10, 1, f}, {11, 8, t}, {19, 1, s}, {20, 4, q}}},
        {"joining neighbours of its status", {{10, 2, f}, {14, 2, f}, {12, 2, f}}, {{8, 2, q}, {10, 6, f}, {16, 8, q}}},
        {"back to what was there", {{12, 2, b}, {12, 2, q}}, {{8, 16, q}}},
        {"over a stretch of its own status", {{10, 4, b}, {11, 2, b}}, {{8, 2, q}, {10, 4, b}, {14, 10, q}}},
        {"everything finished piece by piece", {{16, 8, f}, {8, 4, f}, {12, 4, f}}, {{8, 16, f}}},
    };
    for (const MarkingCase& test : cases) {
        SCOPED_TRACE(test.name);
        RescueMap map(driveToImage());
        for (const Sectors& mark : test.marks)
            map.markSectors(mark.first, mark.count, mark.status);
        EXPECT_EQ(map.extents(), inBytes(test.expected));

        // The running totals agree with the stretches.
        bool leftToTry = false;
        for (const MapStatus status : kAllStatuses) {
            std::uint64_t bytes = 0;
            for (const MapExtent& extent : map.extents())
                bytes += extent.status == status ? extent.size : 0;
            EXPECT_EQ(map.bytesWith(status), bytes) << static_cast<char>(status);
            const bool toTry =
                status == MapStatus::NonTried || status == MapStatus::NonTrimmed || status == MapStatus::NonScraped;
            leftToTry = leftToTry || (toTry && bytes > 0);
        }
        EXPECT_EQ(map.finished(), !leftToTry);
    }
}

TEST(RescueMap, QueriesAreClippedToTheRangeAsked)
{
    RescueMap map(driveToImage());
    map.markSectors(10, 4, MapStatus::Finished);
    map.markSectors(14, 1, MapStatus::BadSector);

    EXPECT_EQ(map.domainBegin(), 0x1000u);
    EXPECT_EQ(map.domainEnd(), 0x3000u);
    EXPECT_EQ(map.extents(0, 13 * kSector),
              inBytes({{8, 2, MapStatus::NonTried}, {10, 3, MapStatus::Finished}}));
    EXPECT_EQ(map.extents(12 * kSector + 100, kSector),
              (std::vector<MapExtent>{{12 * kSector + 100, kSector, MapStatus::Finished}}));
    EXPECT_EQ(map.extents(14 * kSector, 2 * kSector),
              inBytes({{14, 1, MapStatus::BadSector}, {15, 1, MapStatus::NonTried}}));
    EXPECT_TRUE(map.extents(0, 8 * kSector).empty());

    EXPECT_TRUE(map.all(10 * kSector, 4 * kSector, MapStatus::Finished));
    EXPECT_TRUE(map.all(11 * kSector + 1, 7, MapStatus::Finished));
    EXPECT_FALSE(map.all(10 * kSector, 5 * kSector, MapStatus::Finished));
    EXPECT_FALSE(map.all(9 * kSector, 2 * kSector, MapStatus::Finished));
    EXPECT_FALSE(map.all(0, 9 * kSector, MapStatus::NonTried));
    EXPECT_FALSE(map.all(23 * kSector, 2 * kSector, MapStatus::NonTried));
    EXPECT_TRUE(map.all(30 * kSector, 0, MapStatus::BadSector));
}

TEST(RescueMap, HundredThousandScatteredBadSectorsStayCheapAndReadBack)
{
    MapHeader header = driveToImage();
    header.startSector = 0;
    header.sectorCount = 400000;
    RescueMap map(header);
    for (std::uint64_t sector = 1; sector < 200000; sector += 2)
        map.markSectors(sector, 1, MapStatus::BadSector);
    map.markSectors(0, 400000, MapStatus::NonTrimmed);
    for (std::uint64_t sector = 1; sector < 200000; sector += 2)
        map.markSectors(sector, 1, MapStatus::BadSector);
    ASSERT_EQ(map.extents().size(), 200001u);
    EXPECT_EQ(map.bytesWith(MapStatus::BadSector), 100000u * kSector);

    const ParsedMap parsed = parseMapText(mapText(map));
    ASSERT_TRUE(parsed.map) << parsed.error;
    EXPECT_EQ(parsed.map->extents(), map.extents());
}

TEST(RescueMapFile, TextReadsBackAsTheSameMap)
{
    MapHeader header = driveToImage();
    header.source.kind = MappedDevice::Kind::Volume;
    header.source.model = "Samsung SSD 870 EVO 1TB";
    header.source.serial = "  S6P 7NS0 ";  // padded as some bridges report it
    header.destination.path = "/media/me/My Disk/rescue 100% (2).img";
    header.destination.sizeBytes = 8192;
    header.destinationStartSector = 3;
    header.forward = false;
    MapHeader unusual = header;
    unusual.source.model = "line\nbreak\ttab\r";
    unusual.source.serial = "";
    unusual.destination.kind = MappedDevice::Kind::Drive;
    unusual.destination.sectorSize = 4096;

    for (const MapHeader& written : {header, unusual}) {
        RescueMap map(written);
        map.markSectors(8, 2, MapStatus::Finished);
        map.markSectors(10, 1, MapStatus::BadSector);
        map.markSectors(11, 1, MapStatus::NonScraped);
        map.markSectors(12, 3, MapStatus::NonTrimmed);
        map.currentPos = 15 * kSector;

        const std::string text = mapText(map);
        const ParsedMap parsed = parseMapText(text);
        ASSERT_TRUE(parsed.map) << parsed.error << "\n" << text;
        const MapHeader& read = parsed.map->header();
        EXPECT_EQ(read.source, written.source);
        EXPECT_EQ(read.destination, written.destination);
        EXPECT_EQ(read.startSector, written.startSector);
        EXPECT_EQ(read.sectorCount, written.sectorCount);
        EXPECT_EQ(read.destinationStartSector, written.destinationStartSector);
        EXPECT_EQ(read.forward, written.forward);
        EXPECT_EQ(parsed.map->extents(), map.extents());
        EXPECT_EQ(parsed.map->currentPos, map.currentPos);
    }

    // What a person or ddrescue reads in it.
    RescueMap map(header);
    map.markSectors(8, 16, MapStatus::Finished);
    map.markSectors(9, 1, MapStatus::BadSector);
    const std::string text = mapText(map);
    EXPECT_THAT(text, HasSubstr("\n# source model: Samsung SSD 870 EVO 1TB\n"));
    EXPECT_THAT(text, HasSubstr("\n# destination path: /media/me/My Disk/rescue 100%25 (2).img\n"));
    EXPECT_THAT(text, HasSubstr("\n0x00000000     +               1\n"
                                "#      pos        size  status\n"
                                "0x00001000  0x00000200  +\n"
                                "0x00001200  0x00000200  -\n"
                                "0x00001400  0x00001C00  +\n"));
    EXPECT_THAT(mapText(RescueMap(unusual)), HasSubstr("\n# source model: line%0Abreak%09tab%0D\n# source serial:\n"));
}

TEST(RescueMapFile, AcceptsDdrescuesOwnCommentsAndNumberForms)
{
    const std::string ours = mapText(RescueMap(driveToImage()));
    const std::string identification = ours.substr(0, ours.find("# current_pos"));
    const std::string text = "# Mapfile. Created by GNU ddrescue version 1.27\r\n"
                             "# Command line: ddrescue -d /dev/sdb rescue.img rescue.map\r\n"
                             "# Start time:   2026-12-07 16:39:12\r\n" +
                             identification +
                             "# Copying non-tried blocks... Pass 1 (forwards)\r\n"
                             "\r\n"
                             "  0x2000   *\r\n"
                             "#      pos        size  status\r\n"
                             "4096\t0x800\t+\r\n"
                             "0x1800  010000  +\r\n"
                             "   \r\n"
                             "0x2800  0x800  ?";
    const ParsedMap parsed = parseMapText(text);
    ASSERT_TRUE(parsed.map) << parsed.error;
    EXPECT_EQ(parsed.map->currentPos, 0x2000u);
    EXPECT_EQ(parsed.map->extents(), inBytes({{8, 12, MapStatus::Finished}, {20, 4, MapStatus::NonTried}}));
}

// The identification of driveToImage() as the program writes it, lines 1 to 17.
std::string identificationLines()
{
    const std::string text = mapText(RescueMap(driveToImage()));
    return text.substr(0, text.find("# current_pos"));
}

std::string replacingLine(std::string text, std::size_t number, const std::string& line)
{
    std::size_t start = 0;
    for (std::size_t i = 1; i < number; ++i)
        start = text.find('\n', start) + 1;
    return text.replace(start, text.find('\n', start) - start, line);
}

struct RefusalCase {
    std::string text;
    std::string error;  // the start of the expected error
};

TEST(RescueMapFile, RefusesWhatIsNotAWholeMapOfItsRange)
{
    const std::string id = identificationLines();
    const std::string status = "0x00001000     ?               1\n";
    const std::string rest = status + "0x1000 0x2000 ?\n";
    const RefusalCase cases[] = {
        {"", "line 1: the map has no status line"},
        {id, "line 18: the map has no status line"},
        {id + "0x1000 ? 1 7\n", "line 18: not a status line"},
        {id + "0x10g0 ? 1\n", "line 18: \"0x10g0\" is not a position"},
        {id + "0x1000 R 1\n", "line 18: \"R\" is not a current status"},
        {id + "0x1000 ? one\n", "line 18: \"one\" is not a pass number"},
        {"0x1000 ? 1\n0x1000 0x2000 ?\n", "line 1: the map does not say what it maps"},
        {replacingLine(id, 4, "# serial number: WD-WCC6Y1234567") + rest,
         "line 18: the identification before the status line lacks: source serial"},
        {replacingLine(id, 4, "# source model: again") + rest,
         "line 4: \"source model\" is given again (first on line 3)"},
        {replacingLine(id, 2, "# source: floppy") + rest, "line 2: \"source\" must be drive, volume or image file"},
        {replacingLine(id, 3, "# source model: 100%") + rest, "line 3: \"source model\" must be text"},
        {replacingLine(id, 7, "# source sector size: 0") + rest,
         "line 7: \"source sector size\" must be a sector size"},
        {replacingLine(id, 15, "# sector count: 16x") + rest, "line 15: \"sector count\" must be a decimal number"},
        {replacingLine(id, 15, "# sector count: 18014398509481984") + rest, "line 15: the range of sectors runs past"},
        {replacingLine(id, 17, "# direction: sideways") + rest, "line 17: \"direction\" must be forward or reverse"},
        {id + status, "line 18: no block maps the copy's range from 0x00001000"},
        {id + status + "0x1000 0x2000\n", "line 19: a block line must hold a position, a size and a status"},
        {id + status + "0x1000 0x20000000000000000 +\n", "line 19: \"0x20000000000000000\" is not a size"},
        {id + status + "0x1000 0 +\n", "line 19: \"0\" is not a size"},
        {id + status + "0x1000 0x2000 x\n", "line 19: \"x\" is not a block status"},
        {id + status + "0x1000 0x100 +\n0x1100 0x1F00 ?\n", "line 19: the block at 0x00001000 is not in whole sectors"},
        {id + status + "0x0 0x3000 +\n", "line 19: the block at 0x00000000 starts before the copy's range"},
        {id + status + "0x1200 0x1E00 +\n", "line 19: the blocks start at 0x00001200, after the start"},
        {id + status + "0x1000 0x2200 +\n", "line 19: the block at 0x00001000 runs past the end of the copy's range"},
        {id + status + "0x1000 0x1000 +\n", "line 19: no block maps the copy's range from 0x00002000"},
        {id + status + "0x1000 0x1000 +\n0x1E00 0x1200 -\n",
         "line 20: the block at 0x00001E00 overlaps the one before"},
        {id + status + "0x1000 0x800 +\n# note\n0x1A00 0x1600 ?\n",
         "line 21: the block at 0x00001A00 leaves a gap"},
    };
    for (const RefusalCase& test : cases) {
        SCOPED_TRACE(test.text);
        const ParsedMap parsed = parseMapText(test.text);
        EXPECT_FALSE(parsed.map);
        EXPECT_THAT(parsed.error, StartsWith(test.error));
    }
}

TEST(RescueMapFile, MapPathIsTheLogsWithAnotherExtension)
{
    EXPECT_EQ(mapPathForLog("/var/log/orvel/sdb.log"), "/var/log/orvel/sdb.map");
    EXPECT_EQ(mapPathForLog("/var/log/orvel/sdb (2).log"), "/var/log/orvel/sdb (2).map");
    EXPECT_EQ(mapPathForLog("x/DriveD.log.old"), "x/DriveD.log.old.map");
    EXPECT_EQ(mapPathForLog("x/sdb"), "x/sdb.map");
}

TEST(RescueMapFile, SavingReplacesTheMapWholeAndLeavesNothingElse)
{
    test::TempDir folder;
    const std::string path = folder.file("sdb.map");
    RescueMap map(driveToImage());
    ASSERT_TRUE(saveMap(map, path));
    map.markSectors(9, 3, MapStatus::BadSector);
    ASSERT_TRUE(saveMap(map, path));

    EXPECT_EQ(readFile(path), mapText(map));
    const ParsedMap loaded = loadMap(path);
    ASSERT_TRUE(loaded.map) << loaded.error;
    EXPECT_EQ(loaded.map->extents(), map.extents());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"sdb.map"});

    // A map that cannot take the place of what is there.
    std::filesystem::create_directory(folder.file("taken.map"));
    EXPECT_FALSE(saveMap(map, folder.file("taken.map")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("taken.map.tmp")));
    EXPECT_FALSE(saveMap(map, folder.file("no such folder/sdb.map")));

    const ParsedMap missing = loadMap(folder.file("none.map"));
    EXPECT_FALSE(missing.map);
    EXPECT_THAT(missing.error, HasSubstr(folder.file("none.map")));
}

} // namespace
} // namespace orvel
