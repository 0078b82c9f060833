// How simulated drives answer health requests: an NVMe drive its health page
// and no ATA command; an ATA drive SMART RETURN STATUS as drive firmware
// works it out from its attribute and threshold tables.

#include "support/sim_platform_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel {
namespace {

constexpr AtaRegisters kReturnStatus{0xDA, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

// One attribute (flags, current value) in entry `entry`, its threshold in
// the same entry of the threshold block.
struct Attribute {
    std::size_t entry;
    std::uint8_t id;
    std::uint16_t flags;
    std::uint8_t current;
    std::uint8_t threshold;
};

SimDriveSetup ataDrive(const std::vector<Attribute>& attributes)
{
    SimDriveSetup drive = test::simDrive(64);
    drive.smartData = SmartBlock{};
    drive.smartThresholds = SmartBlock{};
    for (const Attribute& attribute : attributes) {
        std::uint8_t* entry = drive.smartData->data() + 2 + 12 * attribute.entry;
        entry[0] = attribute.id;
        entry[1] = static_cast<std::uint8_t>(attribute.flags & 0xFF);
        entry[2] = static_cast<std::uint8_t>(attribute.flags >> 8);
        entry[3] = attribute.current;
        entry[4] = attribute.current;
        (*drive.smartThresholds)[2 + 12 * attribute.entry] = attribute.id;
        (*drive.smartThresholds)[2 + 12 * attribute.entry + 1] = attribute.threshold;
    }
    return drive;
}

struct ReturnStatusCase {
    const char* what;
    std::vector<Attribute> attributes;
    bool exceeded;
};

class SimReturnStatus : public testing::TestWithParam<ReturnStatusCase> {};

TEST_P(SimReturnStatus, AnswersAsDriveFirmwareDoes)
{
    test::SimPlatformFixture sim;
    sim.make({ataDrive(GetParam().attributes)});
    const std::unique_ptr<SmartDevice> device = sim.platform().smart().openSmartDevice(0);
    ASSERT_NE(device, nullptr);
    AtaRegisters returned;
    ASSERT_TRUE(device->queryRegisters(kReturnStatus, returned));
    EXPECT_EQ(returned.cylinderLow, GetParam().exceeded ? 0xF4 : 0x4F);
    EXPECT_EQ(returned.cylinderHigh, GetParam().exceeded ? 0x2C : 0xC2);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SimReturnStatus,
    testing::Values(
        ReturnStatusCase{"Healthy", {{0, 5, 0x33, 100, 36}, {1, 9, 0x32, 90, 0}}, false},
        ReturnStatusCase{"PreFailureAtItsThreshold", {{0, 5, 0x33, 100, 36}, {1, 1, 0x0F, 51, 51}}, true},
        ReturnStatusCase{"PreFailureBelowItsThreshold", {{3, 5, 0x0033, 20, 36}}, true},
        ReturnStatusCase{"AdvisoryBelowItsThreshold", {{0, 190, 0x0032, 40, 45}}, false},
        ReturnStatusCase{"PreFailureWithThresholdZero", {{0, 1, 0x000B, 0, 0}}, false},
        ReturnStatusCase{"TheThirtiethEntryCounts", {{0, 5, 0x33, 100, 36}, {29, 7, 0x01, 30, 31}}, true},
        ReturnStatusCase{"EmptyEntryIsNoAttribute", {{0, 0, 0x01, 0, 10}}, false}),
    [](const testing::TestParamInfo<ReturnStatusCase>& test) { return std::string(test.param.what); });

TEST(SimReturnStatus, ADriveWithoutSmartDoesNotAnswer)
{
    test::SimPlatformFixture sim;
    sim.make({test::simDrive(64)});
    const std::unique_ptr<SmartDevice> device = sim.platform().smart().openSmartDevice(0);
    ASSERT_NE(device, nullptr);
    AtaRegisters returned;
    EXPECT_FALSE(device->queryRegisters(kReturnStatus, returned));
}

TEST(SimNvmeHealth, AnNvmeDriveAnswersItsPageAndNoAtaCommand)
{
    NvmeHealthPage page{};
    page[1] = 0x3C;
    page[2] = 0x01;
    SimDriveSetup nvme = test::simDrive(64);
    nvme.nvmeHealth = page;
    test::SimPlatformFixture sim;
    sim.make({nvme, ataDrive({{0, 5, 0x33, 100, 36}})});

    EXPECT_EQ(sim.platform().smart().readNvmeHealthLog(0), page);
    EXPECT_EQ(sim.platform().smart().readNvmeHealthLog(1), std::nullopt) << "an ATA drive";
    EXPECT_EQ(sim.platform().smart().readNvmeHealthLog(2), std::nullopt) << "no such drive";
    const std::unique_ptr<SmartDevice> device = sim.platform().smart().openSmartDevice(0);
    ASSERT_NE(device, nullptr);
    EXPECT_FALSE(device->supportsSmartCommands());
    SmartBlock block{};
    EXPECT_FALSE(device->receiveData(kReadData, block));
}

TEST(SimNvmeHealth, AGoneDriveDoesNotAnswer)
{
    SimDriveSetup nvme = test::simDrive(64);
    nvme.nvmeHealth = NvmeHealthPage{};
    test::SimPlatformFixture sim;
    sim.make({nvme});
    sim.platform().simulatedDrive(0).disappear();
    EXPECT_EQ(sim.platform().smart().readNvmeHealthLog(0), std::nullopt);
}

} // namespace
} // namespace orvel
