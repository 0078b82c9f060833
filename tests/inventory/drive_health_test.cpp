// What the inventory makes of a drive's own health reports: an NVMe drive's
// health log in place of an attribute table, its composite temperature, and
// the "Pred Fail" status where a running drive predicts its failure and the
// system's status does not already say so.

#include "inventory/drive_health.h"
#include "inventory/drive_inventory.h"
#include "inventory/smart_reader.h"

#include "inventory_fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel {
namespace {

using test::attributeBlock;
using test::diskRow;
using test::FakeSmartDrive;
using test::thresholdBlock;

constexpr AtaRegisters kWithinThresholds{0, 1, 1, 0x4F, 0xC2, 0xA0, 0x50};
constexpr AtaRegisters kThresholdExceeded{0, 1, 1, 0xF4, 0x2C, 0xA0, 0x50};

NvmeHealthPage nvmePage(std::uint8_t criticalWarning, std::uint16_t compositeKelvin)
{
    NvmeHealthPage page{};
    page[0] = criticalWarning;
    page[1] = static_cast<std::uint8_t>(compositeKelvin & 0xFF);
    page[2] = static_cast<std::uint8_t>(compositeKelvin >> 8);
    page[3] = 100;
    return page;
}

FakeSmartDrive ataDrive()
{
    return {true, true, attributeBlock({{194, 100, 100, {35}}}), thresholdBlock({194}, {0})};
}

class DriveHealth : public testing::Test {
protected:
    DriveHealth() { ClearInventory(); }
    ~DriveHealth() override { ClearInventory(); }

    const DriveInfo& onlyDrive()
    {
        EXPECT_EQ(physicalDrives.size(), 1u);
        return *physicalDrives.front();
    }

    test::FakePlatform platform;
};

TEST_F(DriveHealth, AnNvmeDriveGetsItsLogAndCompositeTemperatureAndNoAtaCommand)
{
    platform.catalog.diskDrives = {diskRow(3, "Maker NVMe SSD", "SCSI")};
    platform.transport.nvmeDrives[3] = nvmePage(0, 316);
    platform.transport.drives[3] = ataDrive();
    platform.transport.returnStatus[3] = kWithinThresholds;
    EnumeratePhysicalDrives(platform, true);

    const DriveInfo& drive = onlyDrive();
    EXPECT_EQ(healthDataOf(drive), HealthData::Nvme);
    ASSERT_TRUE(drive.nvmeHealth);
    EXPECT_EQ(drive.nvmeHealth->compositeKelvin, 316);
    EXPECT_EQ(drive.nvmeHealth->availableSpare, 100);
    EXPECT_EQ(drive.temperatureC, 43u);
    EXPECT_EQ(drive.smartAttributes[0].attributeId, 0) << "an NVMe drive has no attribute table";
    EXPECT_TRUE(platform.transport.openedNumbers.empty()) << "an NVMe drive is not asked ATA commands";
    EXPECT_EQ(drive.status, "OK");
}

TEST_F(DriveHealth, AnAtaDriveIsAskedItsReturnStatusAfterItsTablesInOneOpening)
{
    platform.catalog.diskDrives = {diskRow(4, "Maker Disk")};
    platform.transport.drives[4] = ataDrive();
    platform.transport.returnStatus[4] = kWithinThresholds;
    EnumeratePhysicalDrives(platform, true);

    EXPECT_EQ(healthDataOf(onlyDrive()), HealthData::Ata);
    EXPECT_EQ(platform.transport.nvmeRequests, std::vector<std::uint64_t>{4});
    EXPECT_EQ(platform.transport.openedNumbers, std::vector<std::uint64_t>{4});
    std::vector<unsigned> features;
    for (const AtaRegisters& command : platform.transport.commands)
        features.push_back(command.features);
    EXPECT_EQ(features, (std::vector<unsigned>{0xD8, 0xD0, 0xD1, 0xDA}));
    const AtaRegisters& returnStatus = platform.transport.commands.back();
    EXPECT_TRUE(returnStatus.command == 0xB0 && returnStatus.cylinderLow == 0x4F && returnStatus.cylinderHigh == 0xC2);
    EXPECT_EQ(platform.transport.openDevices, 0);
}

TEST_F(DriveHealth, ADriveThatAnswersNeitherHasNoHealthData)
{
    platform.catalog.diskDrives = {diskRow(5, "Silent")};
    EnumeratePhysicalDrives(platform, true);
    EXPECT_EQ(healthDataOf(onlyDrive()), HealthData::None);
    EXPECT_EQ(onlyDrive().status, "OK");
}

TEST_F(DriveHealth, ACompositeTemperatureAtOrBelowFreezingShowsAsNoReading)
{
    for (const std::uint16_t kelvin : {0, 200, 273}) {
        ClearInventory();
        platform.catalog.diskDrives = {diskRow(3, "Cold NVMe", "SCSI")};
        platform.transport.nvmeDrives[3] = nvmePage(0, kelvin);
        EnumeratePhysicalDrives(platform, true);
        EXPECT_EQ(onlyDrive().temperatureC, 0u) << kelvin << " K";
        EXPECT_EQ(healthDataOf(onlyDrive()), HealthData::Nvme);
    }
}

struct VerdictCase {
    const char* what;
    bool nvme;
    std::uint8_t criticalWarning;            // NVMe
    std::optional<AtaRegisters> returnStatus;  // ATA
    std::string interfaceType;
    std::string catalogStatus;
    bool statusIncludesVerdict;
    std::string shownStatus;
    bool returnStatusAsked;
};

class DriveVerdict : public testing::TestWithParam<VerdictCase> {
protected:
    DriveVerdict() { ClearInventory(); }
    ~DriveVerdict() override { ClearInventory(); }

    test::FakePlatform platform;
};

TEST_P(DriveVerdict, DecidesTheStatusColumn)
{
    const VerdictCase& verdict = GetParam();
    DiskDriveRow row = diskRow(7, "Drive", verdict.interfaceType);
    row.status = verdict.catalogStatus;
    platform.catalog.diskDrives = {row};
    platform.catalog.includesVerdict = verdict.statusIncludesVerdict;
    if (verdict.nvme)
        platform.transport.nvmeDrives[7] = nvmePage(verdict.criticalWarning, 310);
    else
        platform.transport.drives[7] = ataDrive();
    if (verdict.returnStatus)
        platform.transport.returnStatus[7] = *verdict.returnStatus;
    EnumeratePhysicalDrives(platform, true);

    ASSERT_EQ(physicalDrives.size(), 1u);
    EXPECT_EQ(physicalDrives[0]->status, verdict.shownStatus);
    const bool asked = !platform.transport.commands.empty() && platform.transport.commands.back().features == 0xDA;
    EXPECT_EQ(asked, verdict.returnStatusAsked);
}

INSTANTIATE_TEST_SUITE_P(
    Drives, DriveVerdict,
    testing::Values(
        VerdictCase{"NvmeWithoutWarning", true, 0x00, {}, "SCSI", "OK", false, "OK", false},
        VerdictCase{"NvmeSpareBelowThreshold", true, 0x01, {}, "SCSI", "OK", false, "Pred Fail", false},
        VerdictCase{"NvmeReadOnlyMedia", true, 0x08, {}, "SCSI", "OK", false, "Pred Fail", false},
        VerdictCase{"NvmeWarningOnAStoppedDrive", true, 0x04, {}, "SCSI", "Error", false, "Error", false},
        VerdictCase{"NvmeWarningWhereTheSystemJudges", true, 0x04, {}, "SCSI", "OK", true, "OK", false},
        VerdictCase{"NvmeWarningOnUsbIsNeverRead", true, 0x04, {}, "USB", "OK", false, "OK", false},
        VerdictCase{"AtaWithinThresholds", false, 0, kWithinThresholds, "IDE", "OK", false, "OK", true},
        VerdictCase{"AtaThresholdExceeded", false, 0, kThresholdExceeded, "IDE", "OK", false, "Pred Fail", true},
        VerdictCase{"AtaUnknownRegisters", false, 0, AtaRegisters{0, 0, 0, 0x12, 0x34, 0, 0x51}, "IDE", "OK",
                    false, "OK", true},
        VerdictCase{"AtaReturnStatusFails", false, 0, std::nullopt, "IDE", "OK", false, "OK", true},
        VerdictCase{"AtaExceededOnAStoppedDriveIsNotAsked", false, 0, kThresholdExceeded, "IDE", "Error", false,
                    "Error", false},
        VerdictCase{"AtaExceededWhereTheSystemJudgesIsNotAsked", false, 0, kThresholdExceeded, "IDE", "OK", true,
                    "OK", false}),
    [](const testing::TestParamInfo<VerdictCase>& verdict) { return std::string(verdict.param.what); });

TEST(SmartReturnStatus, OnlyTheTwoSignaturesAreAVerdict)
{
    EXPECT_EQ(verdictOfReturnedRegisters(kWithinThresholds), SmartVerdict::WithinThresholds);
    EXPECT_EQ(verdictOfReturnedRegisters(kThresholdExceeded), SmartVerdict::ThresholdExceeded);
    EXPECT_EQ(verdictOfReturnedRegisters({0, 0, 0, 0x4F, 0x2C, 0, 0}), SmartVerdict::None);
    EXPECT_EQ(verdictOfReturnedRegisters({0, 0, 0, 0xF4, 0xC2, 0, 0}), SmartVerdict::None);
    EXPECT_EQ(verdictOfReturnedRegisters({}), SmartVerdict::None);
}

} // namespace
} // namespace orvel
