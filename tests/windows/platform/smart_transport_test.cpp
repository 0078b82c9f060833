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

} // namespace
} // namespace orvel::windows
