// S.M.A.R.T. through the disk driver, read-only: drive 0 is asked for its
// attribute data, never given a command that changes it. Where the driver
// does not take S.M.A.R.T. commands (Wine, NVMe, USB) the test is skipped;
// the requests and answers themselves are tested in requests/.

#include "platform/windows/windows_smart_transport.h"

#include <gtest/gtest.h>

#include <numeric>

namespace orvel::windows {
namespace {

TEST(SmartTransport, DriveZeroAnswersWithAWholeChecksummedDataBlock)
{
    const std::unique_ptr<SmartTransport> transport = makeWindowsSmartTransport();
    const std::unique_ptr<SmartDevice> drive = transport->openSmartDevice(0);
    if (!drive)
        GTEST_SKIP() << "drive 0 cannot be opened for S.M.A.R.T. commands here (they need an administrator)";
    if (!drive->supportsSmartCommands())
        GTEST_SKIP() << "the driver of drive 0 takes no S.M.A.R.T. commands here";
    SmartBlock block{};
    ASSERT_TRUE(drive->receiveData({0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, block));
    // The drive's last byte makes the block's bytes add up to 0 (mod 256): a
    // block cut or shifted by the status header would not.
    const unsigned sum = std::accumulate(block.begin(), block.end(), 0u);
    EXPECT_EQ(sum % 256, 0u);
}

// Read-only too: RETURN SMART STATUS changes nothing on the drive.
TEST(SmartTransport, DriveZeroAnswersReturnStatusWithOneOfItsTwoSignatures)
{
    const std::unique_ptr<SmartTransport> transport = makeWindowsSmartTransport();
    const std::unique_ptr<SmartDevice> drive = transport->openSmartDevice(0);
    if (!drive || !drive->supportsSmartCommands())
        GTEST_SKIP() << "drive 0 takes no S.M.A.R.T. commands here";
    AtaRegisters returned;
    ASSERT_TRUE(drive->queryRegisters({0xDA, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, returned));
    const bool withinThresholds = returned.cylinderLow == 0x4F && returned.cylinderHigh == 0xC2;
    const bool exceeded = returned.cylinderLow == 0xF4 && returned.cylinderHigh == 0x2C;
    EXPECT_TRUE(withinThresholds || exceeded);
}

TEST(SmartTransport, AnNvmeDriveZeroAnswersWithAPlausibleHealthLog)
{
    const std::unique_ptr<SmartTransport> transport = makeWindowsSmartTransport();
    const std::optional<NvmeHealthPage> page = transport->readNvmeHealthLog(0);
    if (!page)
        GTEST_SKIP() << "drive 0 is no NVMe drive here, or cannot be opened (that needs an administrator)";
    const unsigned compositeKelvin = (*page)[1] | (*page)[2] << 8;
    EXPECT_GT(compositeKelvin, 250u) << "a running drive is warmer than -23 °C";
    EXPECT_LT(compositeKelvin, 400u);
    EXPECT_LE((*page)[3], 100) << "the available spare is a percentage";
}

} // namespace
} // namespace orvel::windows
