#include "inventory/attribute_catalogue.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

TEST(AttributeCatalogue, TemperatureNamesStayDistinct)
{
    EXPECT_EQ(AttributeName(194), "Temperature");
    EXPECT_EQ(AttributeName(190), "Airflow Temperature");
    EXPECT_EQ(AttributeName(231), "Drive Temperature");
}

TEST(AttributeCatalogue, NamesKeepTheirExactSpelling)
{
    EXPECT_EQ(AttributeName(9), "Power On Hours POH");
    EXPECT_EQ(AttributeName(205), "Thermal Asperity Rate TAR");
    EXPECT_EQ(AttributeName(241), "Tota LBAs Written");
    EXPECT_EQ(AttributeName(242), "Total LBAs Read");
    EXPECT_EQ(AttributeName(184), "End to Enderror");
    EXPECT_EQ(AttributeName(192), "Power off React Count");
    EXPECT_EQ(AttributeName(202), "Data Address Mark errors");
    EXPECT_EQ(AttributeName(1), "Raw Read Error Rate");
    EXPECT_EQ(AttributeName(254), "Free Fall Protection");
}

TEST(AttributeCatalogue, NumbersOutsideTheTableHaveNoName)
{
    for (int id : {0, 14, 177, 182, 210, 229, 233, 243, 251, 253, 255})
        EXPECT_EQ(AttributeName(static_cast<std::uint8_t>(id)), "") << "attribute " << id;
}

TEST(AttributeCatalogue, HoldsFiftyEightNames)
{
    int named = 0;
    for (int id = 0; id < 256; ++id)
        named += AttributeName(static_cast<std::uint8_t>(id)).empty() ? 0 : 1;
    EXPECT_EQ(named, 58);
}

} // namespace
} // namespace orvel
