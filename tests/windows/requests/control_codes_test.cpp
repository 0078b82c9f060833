#include "platform/windows/requests/control_codes.h"

#include <gtest/gtest.h>

namespace orvel::windows {
namespace {

// The values the drivers answer to, as published for each request.
TEST(ControlCodes, ComposeToTheValuesTheDriversAnswerTo)
{
    EXPECT_EQ(kDiskGetLengthInfo, 0x7405Cu);
    EXPECT_EQ(kDiskGetPartitionInfo, 0x74004u);
    EXPECT_EQ(kDiskDeleteDriveLayout, 0x7C100u);
    EXPECT_EQ(kDismountVolume, 0x90020u);
    EXPECT_EQ(kLockVolume, 0x90018u);
    EXPECT_EQ(kSmartGetVersion, 0x74080u);
    EXPECT_EQ(kSmartSendDriveCommand, 0x7C084u);
    EXPECT_EQ(kSmartReceiveDriveData, 0x7C088u);
    EXPECT_EQ(kStorageQueryProperty, 0x2D1400u);
}

} // namespace
} // namespace orvel::windows
