// An NVMe drive in the drive health panel: its composite temperature in the
// drive list, its health log in the attribute list in the log's order, and
// the drives' own verdicts in the Status column.
#include "health_panel_fixture.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::HealthPanelSession;
using test::plainDrive;
using test::smartDrive;

constexpr int kTemperature = 5;
constexpr int kStatus = 6;

SimDriveSetup nvmeDrive(const std::string& model, std::uint8_t criticalWarning)
{
    NvmeHealthPage page{};
    page[0x00] = criticalWarning;
    page[0x01] = 0x3C;  // 316 K
    page[0x02] = 0x01;
    page[0x03] = 98;
    page[0x04] = 10;
    page[0x05] = 7;
    page[0x20] = 0x6B;  // 31956075 data units
    page[0x21] = 0x9C;
    page[0x22] = 0xE7;
    page[0x23] = 0x01;
    page[0x70] = 12;
    page[0xCA] = 0x47;  // sensor 2 only: 327 K
    page[0xCB] = 0x01;
    SimDriveSetup drive = plainDrive(model);
    drive.interfaceType = "SCSI";
    drive.nvmeHealth = page;
    return drive;
}

QString cell(HealthPanelSession& session, const char* label, int column)
{
    return session.driveList().rowTexts(session.driveRow(QString::fromLatin1(label))).value(column);
}

TEST(NvmeInHealthPanel, TheAttributeListShowsTheLogInItsOwnOrder)
{
    HealthPanelSession session({nvmeDrive("Maker NVMe SSD", 0)});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    const std::vector<QStringList> rows = session.attributeRows();

    QStringList ids;
    for (const QStringList& row : rows)
        ids.append(row.value(0));
    EXPECT_EQ(ids, QStringList({"0", "1", "3", "5", "20", "30", "40", "50", "60", "70", "80", "90", "A0", "B0", "C0",
                                "C4", "CA"}))
        << "not sorted as text, and only the sensor that reports";
    ASSERT_EQ(rows.size(), 17u);
    EXPECT_EQ(rows[1], QStringList({"1", "Composite Temperature", QString::fromUtf8("43 \u00B0C"), "", "", "316"}));
    EXPECT_EQ(rows[2], QStringList({"3", "Available Spare", "98 %", "", "10 %", "98"}));
    EXPECT_EQ(rows[4], QStringList({"20", "Data Units Read", "16.4 TB", "", "", "31956075"}));
    EXPECT_EQ(rows[16], QStringList({"CA", "Temperature Sensor 2", QString::fromUtf8("54 \u00B0C"), "", "", "327"}));
}

TEST(NvmeInHealthPanel, ClickingAnAtaDriveAfterwardsShowsOnlyItsAttributes)
{
    const test::SimAttribute temperature{194, 100, 100, 0, {35, 0, 0, 0, 0, 0}};
    HealthPanelSession session({nvmeDrive("Maker NVMe SSD", 0), smartDrive("Maker Disk", {temperature})});
    ASSERT_TRUE(session.ready());
    session.clickDrive("0");
    session.clickDrive("1");
    const std::vector<QStringList> rows = session.attributeRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value(0), "C2");
}

TEST(NvmeInHealthPanel, TheDriveListShowsTheCompositeTemperatureAndEachDrivesVerdict)
{
    // Attribute 5 marked pre-failure (flag bit 0), its current value down to
    // its threshold.
    SimDriveSetup failingDisk = smartDrive("Failing Disk", {{5, 36, 36, 36, {0, 0, 0, 0, 0, 0}}});
    (*failingDisk.smartData)[2 + 1] = 0x33;
    SimDriveSetup stoppedNvme = nvmeDrive("Stopped NVMe", 0x04);
    stoppedNvme.status = "Error";
    HealthPanelSession session({nvmeDrive("Healthy NVMe", 0), nvmeDrive("Worn NVMe", 0x04), failingDisk,
                                smartDrive("Fine Disk", {{5, 100, 100, 36, {0, 0, 0, 0, 0, 0}}}), stoppedNvme});
    ASSERT_TRUE(session.ready());
    EXPECT_EQ(cell(session, "0", kTemperature), QString::fromUtf8("43 \u00B0C"));
    EXPECT_EQ(cell(session, "0", kStatus), "OK");
    EXPECT_EQ(cell(session, "1", kStatus), "Pred Fail") << "the critical warning is set";
    EXPECT_EQ(cell(session, "2", kStatus), "Pred Fail") << "SMART RETURN STATUS: threshold exceeded";
    EXPECT_EQ(cell(session, "3", kStatus), "OK");
    EXPECT_EQ(cell(session, "4", kStatus), "Error") << "a drive that is not running stays an error";
}

} // namespace
} // namespace orvel
