#include "cli/health_output.h"

#include "inventory/nvme_health_log.h"

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
  "firmwareRevision": "",
  "status": "",
  "temperatureC": 47,
  "temperature": "47 °C",
  "healthData": "ata",
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
  ],
  "nvme": null
}
)");
}

// An NVMe drive's log: the composite temperature 316 K, spare 83 % of a
// 10 % threshold, the data units read past 2^64, sensor 2 only.
DriveInfo nvmeDrive()
{
    NvmeHealthPage page{};
    page[0x00] = 0x04;
    page[0x01] = 0x3C;
    page[0x02] = 0x01;
    page[0x03] = 83;
    page[0x04] = 10;
    page[0x05] = 120;
    page[0x20] = 0x05;
    page[0x28] = 0x01;
    page[0x80] = 0x2E;
    page[0x81] = 0x30;
    page[0xC0] = 0x8D;
    page[0xCA] = 0x47;
    page[0xCB] = 0x01;
    DriveInfo drive;
    drive.diskIndex = 3;
    drive.model = "Maker NVMe 1TB";
    drive.serialNumber = "NV-1";
    drive.firmwareRevision = "2B2QEXM7";
    drive.status = "Pred Fail";
    drive.temperatureC = 43;
    drive.nvmeHealth = decodeNvmeHealthLog(page);
    return drive;
}

TEST(HealthOutput, NvmeTextShowsTheLogRowsInTheirOrderWithEmptyCells)
{
    EXPECT_EQ(formatHealthText(nvmeDrive()),
              "Drive 3: Maker NVMe 1TB\n"
              "Serial No.: NV-1\n"
              "Firmware: 2B2QEXM7\n"
              "Temperature: 43 \u00B0C\n"
              "Status: Pred Fail\n"
              "\n"
              "ID  Attribute Name                         Current Value  Worst  Threshold              Raw Data\n"
              "0   Critical Warning                                0x04                                       4\n"
              "1   Composite Temperature                          43 \u00B0C                                     316\n"
              "3   Available Spare                                 83 %              10 %                    83\n"
              "5   Percentage Used                                120 %                                     120\n"
              "20  Data Units Read                      9444732965.7 PB                    18446744073709551621\n"
              "30  Data Units Written                               0 B                                       0\n"
              "40  Host Read Commands                                 0                                       0\n"
              "50  Host Write Commands                                0                                       0\n"
              "60  Controller Busy Time                           0 min                                       0\n"
              "70  Power Cycles                                       0                                       0\n"
              "80  Power On Hours                               12334 h                                   12334\n"
              "90  Unsafe Shutdowns                                   0                                       0\n"
              "A0  Media and Data Integrity Errors                    0                                       0\n"
              "B0  Error Information Log Entries                      0                                       0\n"
              "C0  Warning Composite Temperature Time           141 min                                     141\n"
              "C4  Critical Composite Temperature Time            0 min                                       0\n"
              "CA  Temperature Sensor 2                           54 \u00B0C                                     327\n");
}

TEST(HealthOutput, NvmeJsonHasTheDecodedValuesWithCountersAsText)
{
    EXPECT_EQ(formatHealthJson(nvmeDrive()), R"({
  "number": 3,
  "model": "Maker NVMe 1TB",
  "serialNumber": "NV-1",
  "firmwareRevision": "2B2QEXM7",
  "status": "Pred Fail",
  "temperatureC": 43,
  "temperature": "43 °C",
  "healthData": "nvme",
  "attributes": [],
  "nvme": {
    "criticalWarning": 4,
    "compositeTemperatureC": 43,
    "availableSpare": 83,
    "availableSpareThreshold": 10,
    "percentageUsed": 120,
    "dataUnitsRead": "18446744073709551621",
    "dataUnitsWritten": "0",
    "hostReadCommands": "0",
    "hostWriteCommands": "0",
    "controllerBusyTimeMinutes": "0",
    "powerCycles": "0",
    "powerOnHours": "12334",
    "unsafeShutdowns": "0",
    "mediaAndDataIntegrityErrors": "0",
    "errorInformationLogEntries": "0",
    "warningCompositeTemperatureTimeMinutes": 141,
    "criticalCompositeTemperatureTimeMinutes": 0,
    "temperatureSensorsC": [
      null,
      54,
      null,
      null,
      null,
      null,
      null,
      null
    ]
  }
}
)");
}

TEST(HealthOutput, NvmeJsonGivesNoTemperatureForZeroKelvin)
{
    DriveInfo drive = nvmeDrive();
    drive.nvmeHealth->compositeKelvin = 0;
    drive.nvmeHealth->sensorKelvin[0] = 200;
    const std::string json = formatHealthJson(drive);
    EXPECT_NE(json.find("\"compositeTemperatureC\": null,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"temperatureSensorsC\": [\n      -73,\n      54,"), std::string::npos) << json;
}

} // namespace
} // namespace orvel::cli
