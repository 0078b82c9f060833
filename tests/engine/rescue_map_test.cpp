#include "engine/rescue_map.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace orvel {
namespace {

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

} // namespace
} // namespace orvel
