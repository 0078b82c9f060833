#include "real_copy_fixture.h"
#include "sim_copy_fixture.h"

#include "support/run_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

namespace orvel::test {
namespace {

constexpr std::uint64_t kBlock = 65536;
constexpr std::uint64_t kDiskBytes = 3 * kBlock * 512 + 4096;

using Clock = std::chrono::steady_clock;

// What a card reader looks like once its card is pulled: the loop device
// stays (an open one cannot be deleted) but its capacity drops to nothing.
bool cutToNothing(const LoopDevice& disk)
{
    std::error_code error;
    std::filesystem::resize_file(disk.backingFile(), 0, error);
    if (error) {
        ADD_FAILURE() << "cannot cut " << disk.backingFile() << ": " << error.message();
        return false;
    }
    const CommandResult reread = runCommand({findProgram("losetup"), "-c", disk.path()});
    if (reread.exitStatus != 0) {
        ADD_FAILURE() << "losetup -c " << disk.path() << ": " << reread.output;
        return false;
    }
    return true;
}

double secondsSince(const std::optional<Clock::time_point>& moment)
{
    if (!moment)
        return 1e9;
    return std::chrono::duration<double>(Clock::now() - *moment).count();
}

class RealDeviceLostTest : public RealCopyTest {
protected:
    void openBoth()
    {
        from = patternDisk(kDiskBytes);
        to = blankDisk([] {
            LoopDevice::Options options;
            options.sizeBytes = kDiskBytes;
            return options;
        }());
        ASSERT_TRUE(from && to);
        openDrive(source, from->diskseq(), OpenMode::ReadOnly);
        openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
        prepareJob();
    }

    std::unique_ptr<LoopDevice> from;
    std::unique_ptr<LoopDevice> to;
    std::optional<Clock::time_point> cut;
};

TEST_F(RealDeviceLostTest, SourceCutToNothingMidCloneEndsAtOnceAsFailed)
{
    openBoth();
    if (HasFatalFailure())
        return;
    hookHandle(source, {[this](std::uint64_t offset, std::uint32_t) {
                            if (offset == 0 && !cut && cutToNothing(*from))
                                cut = Clock::now();
                        },
                        {},
                        {}});

    EXPECT_EQ(run(true), CopyOutcome::Failed);

    ASSERT_TRUE(cut.has_value());
    EXPECT_LT(secondsSince(cut), 10.0);
    EXPECT_TRUE(logText().ends_with(deviceLostEnding(kBlock, kBlock, 0))) << logText();
    EXPECT_TRUE(source.deviceLost);
    EXPECT_EQ(source.badSectors, 0u);
}

TEST_F(RealDeviceLostTest, DestinationCutToNothingMidCloneIsLoggedAsLostNotAsAWriteError)
{
    openBoth();
    if (HasFatalFailure())
        return;
    hookHandle(destination, {{},
                             [this](std::uint64_t offset, std::uint32_t bytes) {
                                 if (offset == 0 && bytes == kBlock * 512 && !cut && cutToNothing(*to))
                                     cut = Clock::now();
                             },
                             {}});

    EXPECT_EQ(run(true), CopyOutcome::Failed);

    ASSERT_TRUE(cut.has_value());
    EXPECT_LT(secondsSince(cut), 10.0);
    EXPECT_TRUE(logText().ends_with(deviceLostEnding(kBlock, kBlock, 0))) << logText();
    EXPECT_TRUE(destination.deviceLost);
    EXPECT_FALSE(source.deviceLost);
}

} // namespace
} // namespace orvel::test
