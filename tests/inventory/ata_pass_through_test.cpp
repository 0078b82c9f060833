#include "inventory/smart_reader.h"
#include "platform/linux/scsi_generic.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace orvel {
namespace {

using Bytes = std::array<std::uint8_t, 16>;

TEST(AtaPassThrough, EnableIsANonDataCommand)
{
    EXPECT_EQ(buildAtaPassThrough16(kSmartEnableOperations, AtaProtocol::NonData),
              (Bytes{0x85, 0x06, 0x00, 0x00, 0xD8, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
}

TEST(AtaPassThrough, ReadDataIsAPioReadOfOneBlock)
{
    EXPECT_EQ(buildAtaPassThrough16(kSmartReadData, AtaProtocol::PioDataIn),
              (Bytes{0x85, 0x08, 0x0E, 0x00, 0xD0, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
}

TEST(AtaPassThrough, ReadThresholdsIsAPioReadOfOneBlock)
{
    EXPECT_EQ(buildAtaPassThrough16(kSmartReadThresholds, AtaProtocol::PioDataIn),
              (Bytes{0x85, 0x08, 0x0E, 0x00, 0xD1, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
}

TEST(AtaPassThrough, EveryRegisterLandsInItsOwnByte)
{
    const AtaRegisters registers{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    EXPECT_EQ(buildAtaPassThrough16(registers, AtaProtocol::NonData),
              (Bytes{0x85, 0x06, 0x00, 0x00, 0x11, 0x00, 0x22, 0x00, 0x33, 0x00, 0x44, 0x00, 0x55, 0x66, 0x77, 0x00}));
}

TEST(AtaPassThrough, ReturnStatusAsksForTheRegistersBack)
{
    EXPECT_EQ(buildAtaRegisterQuery16(kSmartReturnStatus),
              (Bytes{0x85, 0x06, 0x20, 0x00, 0xDA, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
}

// The registers come back in sense data, in one of the two formats the
// kernel's SCSI-to-ATA layer uses; LBA mid and high hold the verdict.
TEST(AtaRegistersFromSense, ReadTheStatusReturnDescriptor)
{
    const std::vector<std::uint8_t> sense = {
        0x72, 0x01, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x0E,        // descriptor format, RECOVERED ERROR, 00h/1Dh
        0x09, 0x0C, 0x00, 0x04, 0x00, 0x01, 0x00, 0x02,        // ATA Status Return: error 04, count 01, LBA low 02
        0x00, 0xF4, 0x00, 0x2C, 0xA0, 0x50,                    // LBA mid F4, high 2C, device A0, status 50
    };
    const std::optional<AtaRegisters> registers = ataRegistersFromSense(sense);
    ASSERT_TRUE(registers);
    EXPECT_EQ(registers->features, 0x04) << "error";
    EXPECT_EQ(registers->sectorCount, 0x01);
    EXPECT_EQ(registers->sectorNumber, 0x02);
    EXPECT_EQ(registers->cylinderLow, 0xF4);
    EXPECT_EQ(registers->cylinderHigh, 0x2C);
    EXPECT_EQ(registers->driveHead, 0xA0);
    EXPECT_EQ(registers->command, 0x50) << "status";
}

TEST(AtaRegistersFromSense, FindTheDescriptorAfterOthers)
{
    const std::vector<std::uint8_t> sense = {
        0x72, 0x01, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x1A,
        0x00, 0x0A, 0x80, 0x00, 0, 0, 0, 0, 0, 0, 0, 0,        // an information descriptor first
        0x09, 0x0C, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
        0x00, 0x4F, 0x00, 0xC2, 0xA0, 0x50,
    };
    const std::optional<AtaRegisters> registers = ataRegistersFromSense(sense);
    ASSERT_TRUE(registers);
    EXPECT_EQ(registers->cylinderLow, 0x4F);
    EXPECT_EQ(registers->cylinderHigh, 0xC2);
}

TEST(AtaRegistersFromSense, ReadFixedFormatOnlyWithPassThroughInformation)
{
    std::vector<std::uint8_t> sense = {
        0xF0, 0x00, 0x01, 0x00, 0x50, 0xA0, 0x01, 0x0A,        // fixed: error 00, status 50, device A0, count 01
        0x00, 0x01, 0xF4, 0x2C, 0x00, 0x1D, 0x00, 0x00, 0x00, 0x00,  // LBA 01 F4 2C, 00h/1Dh
    };
    const std::optional<AtaRegisters> registers = ataRegistersFromSense(sense);
    ASSERT_TRUE(registers);
    EXPECT_EQ(registers->sectorCount, 0x01);
    EXPECT_EQ(registers->sectorNumber, 0x01);
    EXPECT_EQ(registers->cylinderLow, 0xF4);
    EXPECT_EQ(registers->cylinderHigh, 0x2C);
    EXPECT_EQ(registers->driveHead, 0xA0);
    EXPECT_EQ(registers->command, 0x50);

    sense[12] = 0x20;  // INVALID COMMAND OPERATION CODE: the fields are no registers
    EXPECT_FALSE(ataRegistersFromSense(sense));
}

TEST(AtaRegistersFromSense, RefuseSenseWithoutRegisters)
{
    EXPECT_FALSE(ataRegistersFromSense({})) << "no sense at all";
    EXPECT_FALSE(ataRegistersFromSense(std::vector<std::uint8_t>{0x72, 0x05, 0x20, 0x00, 0, 0, 0, 0}))
        << "descriptor format without descriptors";
    EXPECT_FALSE(ataRegistersFromSense(std::vector<std::uint8_t>{0x72, 1, 0, 0x1D, 0, 0, 0, 0x0E, 0x09, 0x0C, 0, 0}))
        << "a descriptor cut short";
    EXPECT_FALSE(ataRegistersFromSense(std::vector<std::uint8_t>{0x70, 0, 1, 0, 0x50, 0xA0}))
        << "fixed format cut short";
    EXPECT_FALSE(ataRegistersFromSense(std::vector<std::uint8_t>(18, 0x7F))) << "a vendor format";
}

TEST(VpdInquiry, AsksForThePageWithTheAllocationLength)
{
    EXPECT_EQ(buildVpdInquiry(0x80, 252), (std::array<std::uint8_t, 6>{0x12, 0x01, 0x80, 0x00, 0xFC, 0x00}));
    EXPECT_EQ(buildVpdInquiry(0x89, 0x0240), (std::array<std::uint8_t, 6>{0x12, 0x01, 0x89, 0x02, 0x40, 0x00}));
}

} // namespace
} // namespace orvel
