#include "engine/bad_sector_marker.h"

#include "marker_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace orvel {
namespace {

std::vector<std::uint8_t> filledWith(std::size_t size, std::uint8_t value)
{
    return std::vector<std::uint8_t>(size, value);
}

TEST(BadSectorMarker, ShortFillLeavesTheLastEightBytesAsTheyWere)
{
    std::vector<std::uint8_t> sector = filledWith(512, 0xEE);
    fillMarker(sector, BadSectorMarker, kShortMarkerLimit);

    std::vector<std::uint8_t> expected = test::shortMarkerSector(512);
    std::fill(expected.begin() + 504, expected.end(), 0xEE);
    EXPECT_EQ(sector, expected);
}

TEST(BadSectorMarker, FullFillCoversTheWholeSector)
{
    std::vector<std::uint8_t> sector = filledWith(512, 0xEE);
    fillMarker(sector, BadSectorMarker, kFullMarkerLimit);
    EXPECT_EQ(sector, test::fullMarkerSector(512));
}

TEST(BadSectorMarker, LargeSectorGetsTheFillOfItsFirst520Bytes)
{
    std::vector<std::uint8_t> sector = filledWith(4096, 0);
    fillMarker(sector, BadSectorMarker, kFullMarkerLimit);
    EXPECT_EQ(sector, test::fullMarkerSector(4096));
    EXPECT_EQ(sector[512], '*');
}

TEST(BadSectorMarker, ReverseRetriedMarkerRepeatsTheTextWithAZeroByte)
{
    std::vector<std::uint8_t> sector = filledWith(512, 0);
    fillMarker(sector, RetriedBadSectorMarker, kShortMarkerLimit);
    EXPECT_EQ(sector, test::retriedReverseMarkerSector(512));
    EXPECT_EQ(sector[15], 0);
    EXPECT_EQ(sector[16], '*');
}

} // namespace
} // namespace orvel
