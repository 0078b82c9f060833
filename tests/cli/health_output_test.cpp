#include "cli/health_output.h"

#include <gtest/gtest.h>

namespace orvel::cli {
namespace {

DriveInfo driveWithAttributes()
{
    DriveInfo drive;
    drive.diskIndex = 12;
    drive.model = "Maker HD-1";
    drive.serialNumber = "SN-1";
    drive.temperatureC = 47;
    const std::vector<SmartAttributeSlot> slots = {
        {0x01, 0, 100, 100, {0x14}, 51},
        {0xC2, 0, 97, 88, {0x2D, 0x00, 0x12, 0x00, 0x37, 0x09}, 0},
        {0x0C, 0, 100, 100, {0x58}, 0},
        {0xBE, 0, 53, 50, {0x2F}, 0},
        {0xE9, 0, 99, 99, {}, 0},
    };
    std::copy(slots.begin(), slots.end(), drive.smartAttributes.begin());
    return drive;
}

TEST(HealthOutput, TextShowsTemperatureAndRowsInPanelOrder)
{
    EXPECT_EQ(formatHealthText(driveWithAttributes()),
              "Drive 12: Maker HD-1\n"
              "Serial No.: SN-1\n"
              "Temperature: 47 \u00B0C\n"
              "\n"
              "ID  Attribute Name       Current Value  Worst  Threshold    Raw Data\n"
              "1   Raw Read Error Rate            100    100         51  0000000014\n"
              "BE  Airflow Temperature             53     50          0  000000002f\n"
              "C   Power Cycle Count              100    100          0  0000000058\n"
              "C2  Temperature                     97     88          0  370012002d\n"
              "E9                                  99     99          0  0000000000\n");
}

TEST(HealthOutput, DriveWithoutAttributesSaysWhy)
{
    DriveInfo drive;
    drive.diskIndex = 2;
    drive.model = "Stick";
    EXPECT_EQ(formatHealthText(drive), "Drive 2: Stick\n"
                                       "Temperature: N/A\n"
                                       "\n"
                                       "No S.M.A.R.T. attributes: the drive did not answer, or it is on USB.\n");
}

TEST(HealthOutput, JsonHasTheSameFields)
{
    DriveInfo drive = driveWithAttributes();
    drive.smartAttributes[2] = {};
    EXPECT_EQ(formatHealthJson(drive), R"({
  "number": 12,
  "model": "Maker HD-1",
  "serialNumber": "SN-1",
  "temperatureC": 47,
  "temperature": "47 °C",
  "attributes": [
    {
      "id": "1",
      "name": "Raw Read Error Rate",
      "current": 100,
      "worst": 100,
      "threshold": 51,
      "raw": "0000000014"
    },
    {
      "id": "C2",
      "name": "Temperature",
      "current": 97,
      "worst": 88,
      "threshold": 0,
      "raw": "370012002d"
    }
  ]
}
)");
}

} // namespace
} // namespace orvel::cli
