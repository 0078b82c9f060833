#include "cli/list_output.h"

#include <gtest/gtest.h>

namespace orvel::cli {
namespace {

std::unique_ptr<DriveInfo> drive(std::uint64_t number, const std::string& model, std::uint64_t size)
{
    auto record = std::make_unique<DriveInfo>();
    record->diskIndex = number;
    record->model = model;
    record->caption = model;
    record->deviceName = "/dev/disk/by-diskseq/" + std::to_string(number);
    record->sizeBytes = size;
    record->interfaceType = "IDE";
    record->mediaType = "Fixed hard disk media";
    record->status = "OK";
    return record;
}

std::unique_ptr<DriveInfo> volume(const std::string& name, std::uint64_t size)
{
    auto record = std::make_unique<DriveInfo>();
    record->caption = name;
    record->deviceName = name;
    record->sizeBytes = size;
    record->isPhysical = false;
    return record;
}

TEST(ListOutput, SizesShowInParentheses)
{
    EXPECT_EQ(parenthesisedSize(500107862016), "(465.76 GB)");
    EXPECT_EQ(parenthesisedSize(1048576), "(1.00 MB)");
    EXPECT_EQ(parenthesisedSize(0), "");
}

TEST(ListOutput, TextTablesAlignEveryColumn)
{
    DriveList drives;
    drives.push_back(drive(4, "WDC WD5000AAKX-00ERMA0", 500107862016));
    drives.back()->serialNumber = "WD-WCAYUJ123456";
    drives.back()->temperatureC = 35;
    drives.push_back(drive(300, "Loop device disk.img", 0));
    drives.back()->interfaceType = "SCSI";
    DriveList volumeList;
    volumeList.push_back(volume("sda1", 524288000));
    volumeList.back()->holdingDrive = 4;
    volumeList.push_back(volume("dm-0", 1048576));

    EXPECT_EQ(formatDriveListText(drives, volumeList),
              "Physical drives\n"
              "Drive  Model                   Serial No.              Size  Temperature  Interface  Media type"
              "             Status\n"
              "4      WDC WD5000AAKX-00ERMA0  WD-WCAYUJ123456  (465.76 GB)        35 \u00B0C  IDE        Fixed hard"
              " disk media  OK\n"
              "300    Loop device disk.img                                          N/A  SCSI       Fixed hard"
              " disk media  OK\n"
              "\n"
              "Volumes\n"
              "Name  Drive         Size\n"
              "sda1  4      (500.00 MB)\n"
              "dm-0  ?        (1.00 MB)\n");
}

TEST(ListOutput, EmptyListsSaySo)
{
    EXPECT_EQ(formatDriveListText({}, {}), "Physical drives\n  (none)\n\nVolumes\n  (none)\n");
    EXPECT_EQ(formatDriveListJson({}, {}), "{\n  \"physicalDrives\": [],\n  \"volumes\": []\n}\n");
}

// Readings the system does not give are null, not 0.
TEST(ListOutput, JsonCarriesEveryFieldOfDrivesAndVolumes)
{
    DriveList drives;
    drives.push_back(drive(257, "Maker \"Quoted\" Disk", 1073741824));
    drives.back()->serialNumber = "S1";
    DriveList volumeList;
    volumeList.push_back(volume("loop3p1", 16777216));
    volumeList.back()->holdingDrive = 257;
    volumeList.push_back(volume("dm-0", 1048576));

    EXPECT_EQ(formatDriveListJson(drives, volumeList), R"({
  "physicalDrives": [
    {
      "number": 257,
      "caption": "Maker \"Quoted\" Disk",
      "deviceName": "/dev/disk/by-diskseq/257",
      "model": "Maker \"Quoted\" Disk",
      "serialNumber": "S1",
      "sizeBytes": 1073741824,
      "size": "1.00 GB",
      "temperatureC": null,
      "temperature": "N/A",
      "interfaceType": "IDE",
      "mediaType": "Fixed hard disk media",
      "status": "OK",
      "firmwareRevision": "",
      "healthData": null,
      "nvme": null
    }
  ],
  "volumes": [
    {
      "name": "loop3p1",
      "caption": "loop3p1",
      "drive": 257,
      "sizeBytes": 16777216,
      "size": "16.00 MB"
    },
    {
      "name": "dm-0",
      "caption": "dm-0",
      "drive": null,
      "sizeBytes": 1048576,
      "size": "1.00 MB"
    }
  ]
}
)");
}

} // namespace
} // namespace orvel::cli
