#include "inventory/smart_reader.h"

#include "inventory_fakes.h"

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::attributeBlock;
using test::FakeSmartDrive;
using test::FakeSmartTransport;
using test::SmartEntry;
using test::thresholdBlock;

bool sameRegisters(const AtaRegisters& a, const AtaRegisters& b)
{
    return a.features == b.features && a.sectorCount == b.sectorCount && a.sectorNumber == b.sectorNumber &&
           a.cylinderLow == b.cylinderLow && a.cylinderHigh == b.cylinderHigh && a.driveHead == b.driveHead &&
           a.command == b.command;
}

// A table whose every slot holds recognisable leftovers.
SmartAttributeTable tableOfLeftovers()
{
    SmartAttributeTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {static_cast<std::uint8_t>(i + 1), 0x1234, 77, 66, {1, 2, 3, 4, 5, 6}, 55};
    return table;
}

bool sameSlot(const SmartAttributeSlot& a, const SmartAttributeSlot& b)
{
    return a.attributeId == b.attributeId && a.statusFlags == b.statusFlags && a.currentValue == b.currentValue &&
           a.worstValue == b.worstValue && a.rawValue == b.rawValue && a.threshold == b.threshold;
}

class SmartReader : public testing::Test {
protected:
    void read(std::uint64_t number = 7) { ReadSmartData(transport, number, slots, temperature); }

    FakeSmartTransport transport;
    SmartAttributeTable slots{};
    std::uint32_t temperature = 0;
};

TEST_F(SmartReader, SendsEnableReadDataAndReadThresholdsInOrderAndCloses)
{
    transport.drives[7] = {true, true, attributeBlock({{1, 100, 100}}), thresholdBlock({1}, {6})};
    read();

    ASSERT_EQ(transport.openedNumbers, std::vector<std::uint64_t>{7});
    ASSERT_EQ(transport.commands.size(), 3u);
    const AtaRegisters enable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
    const AtaRegisters readData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
    const AtaRegisters readThresholds{0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
    EXPECT_TRUE(sameRegisters(transport.commands[0], enable));
    EXPECT_TRUE(sameRegisters(transport.commands[1], readData));
    EXPECT_TRUE(sameRegisters(transport.commands[2], readThresholds));
    EXPECT_EQ(transport.openDevices, 0) << "the device must be closed when the read ends";
}

TEST_F(SmartReader, DriveNumbersBeyond255ReachTheTransportWhole)
{
    read(0x1'0000'0102);
    EXPECT_EQ(transport.openedNumbers, std::vector<std::uint64_t>{0x1'0000'0102});
}

TEST_F(SmartReader, CopiesEveryFieldOfAnEntry)
{
    transport.drives[7] = {true, true, attributeBlock({{5, 100, 99, {0x2D, 0x00, 0x12, 0x00, 0x37, 0x01}, 0x0033}}),
                           thresholdBlock({5}, {36})};
    read();

    const SmartAttributeSlot& slot = slots[0];
    EXPECT_EQ(slot.attributeId, 5);
    EXPECT_EQ(slot.statusFlags, 0x0033);
    EXPECT_EQ(slot.currentValue, 100);
    EXPECT_EQ(slot.worstValue, 99);
    EXPECT_EQ(slot.rawValue, (std::array<std::uint8_t, 6>{0x2D, 0x00, 0x12, 0x00, 0x37, 0x01}));
    EXPECT_EQ(slot.threshold, 36);
}

TEST_F(SmartReader, FewerThanThirtyAttributesLeaveTheTableEndedByAnEmptySlot)
{
    transport.drives[7] = {true, true, attributeBlock({{1, 100, 100}, {9, 90, 90}, {12, 99, 99}}),
                           thresholdBlock({1, 9, 12}, {51, 0, 0})};
    read();

    EXPECT_EQ(slots[0].attributeId, 1);
    EXPECT_EQ(slots[1].attributeId, 9);
    EXPECT_EQ(slots[2].attributeId, 12);
    EXPECT_EQ(slots[3].attributeId, 0);
    EXPECT_EQ(slots[3].threshold, 0);
}

TEST_F(SmartReader, FillsThirtySlotsAtMostAndLeavesTheRestUntouched)
{
    std::vector<SmartEntry> entries;
    for (std::uint8_t id = 1; id <= 30; ++id)
        entries.push_back({id, 100, 100});
    transport.drives[7] = {true, true, attributeBlock(entries), thresholdBlock({}, {})};
    slots = tableOfLeftovers();
    read();

    EXPECT_EQ(slots[29].attributeId, 30);
    EXPECT_TRUE(sameSlot(slots[30], tableOfLeftovers()[30])) << "slot 30 lies beyond the data block's entries";
}

TEST_F(SmartReader, TemperatureComesFromTheLaterOf194And190)
{
    transport.drives[7] = {true, true, attributeBlock({{194, 100, 100, {40}}, {190, 60, 60, {35}}}), std::nullopt};
    read();
    EXPECT_EQ(temperature, 35u);

    transport.drives[7].data = attributeBlock({{190, 60, 60, {35}}, {194, 100, 100, {40}}});
    read();
    EXPECT_EQ(temperature, 40u);
}

TEST_F(SmartReader, TemperatureIsRawByteZeroOnly)
{
    // Drives keep the minimum and maximum in raw bytes 2 and 4.
    transport.drives[7] = {true, true, attributeBlock({{194, 100, 100, {35, 0, 18, 0, 52, 0}}}), std::nullopt};
    read();
    EXPECT_EQ(temperature, 35u);
}

TEST_F(SmartReader, OtherTemperatureAttributesDoNotCount)
{
    transport.drives[7] = {true, true, attributeBlock({{231, 100, 100, {45}}}), std::nullopt};
    read();
    EXPECT_EQ(temperature, 0u);
}

TEST_F(SmartReader, ThresholdsArePairedByPositionNotById)
{
    transport.drives[7] = {true, true, attributeBlock({{1, 100, 100}, {5, 100, 100}, {194, 100, 100}}),
                           thresholdBlock({194, 1, 5}, {0, 51, 36})};
    read();

    EXPECT_EQ(slots[0].threshold, 0);
    EXPECT_EQ(slots[1].threshold, 51);
    EXPECT_EQ(slots[2].threshold, 36);
}

TEST_F(SmartReader, ThresholdsAreReadEvenWhenTheDataReadFails)
{
    transport.drives[7] = {true, true, std::nullopt, thresholdBlock({1}, {51})};
    slots = tableOfLeftovers();
    temperature = 31;
    read();

    EXPECT_EQ(transport.commands.size(), 3u);
    EXPECT_EQ(slots[0].attributeId, 1) << "a failed data read leaves the slots as they were";
    EXPECT_EQ(slots[0].rawValue, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(slots[0].threshold, 51);
    EXPECT_EQ(temperature, 31u);
}

TEST_F(SmartReader, AFailedThresholdReadKeepsTheAttributesRead)
{
    transport.drives[7] = {true, true, attributeBlock({{194, 100, 98, {33}}}), std::nullopt};
    read();

    EXPECT_EQ(slots[0].attributeId, 194);
    EXPECT_EQ(slots[0].worstValue, 98);
    EXPECT_EQ(slots[0].threshold, 0);
    EXPECT_EQ(temperature, 33u);
}

TEST_F(SmartReader, RefusalsBeforeTheReadsLeaveEverythingAsItWas)
{
    const auto block = attributeBlock({{194, 100, 100, {40}}});
    const auto thresholds = thresholdBlock({194}, {9});
    const std::vector<std::pair<const char*, FakeSmartDrive>> refusals = {
        {"no S.M.A.R.T. capability", {false, true, block, thresholds}},
        {"enable refused", {true, false, block, thresholds}},
    };
    for (const auto& [why, drive] : refusals) {
        transport.drives[7] = drive;
        transport.commands.clear();
        slots = tableOfLeftovers();
        temperature = 12;
        read();

        for (std::size_t i = 0; i < slots.size(); ++i)
            ASSERT_TRUE(sameSlot(slots[i], tableOfLeftovers()[i])) << why << ": slot " << i << " changed";
        EXPECT_EQ(temperature, 12u) << why;
        for (const AtaRegisters& command : transport.commands)
            EXPECT_NE(command.features, 0xD0) << why << ": no data read may follow";
        EXPECT_EQ(transport.openDevices, 0) << why << ": the device must be closed";
    }
}

TEST_F(SmartReader, ADriveThatDoesNotOpenIsLeftAlone)
{
    slots = tableOfLeftovers();
    read(3);
    EXPECT_TRUE(transport.commands.empty());
    EXPECT_TRUE(sameSlot(slots[0], tableOfLeftovers()[0]));
    EXPECT_EQ(temperature, 0u);
}

} // namespace
} // namespace orvel
