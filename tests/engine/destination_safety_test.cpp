// What the program refuses to write on real kernel block devices: a
// destination the system holds, a volume whose name now belongs to another
// partition, an image file stored on the drive being imaged.
#include "engine/copy_steps.h"
#include "engine/operation_setup.h"
#include "engine/operation_slots.h"

#include "real_copy_fixture.h"
#include "sim_copy_fixture.h"

#include "support/run_command.h"
#include "support/scoped_mount.h"
#include "support/spawned_process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvel::test {
namespace {

constexpr std::uint64_t kDiskBytes = 24u << 20;
const std::string kInUse(kDestinationInUseMessage);

// A descriptor held open for the length of a test, as another program would.
struct HeldOpen {
    explicit HeldOpen(const std::string& path, int flags) : fd(::open(path.c_str(), flags | O_CLOEXEC)) {}
    ~HeldOpen()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd = -1;
};

// Active swap on a device for the length of a test.
struct ActiveSwap {
    explicit ActiveSwap(std::string device) : path(std::move(device))
    {
        const std::string mkswap = findProgram("mkswap");
        const std::string swapon = findProgram("swapon");
        active = !mkswap.empty() && !swapon.empty() && runCommand({mkswap, path}).exitStatus == 0 &&
                 runCommand({swapon, path}).exitStatus == 0;
    }
    ~ActiveSwap()
    {
        if (active)
            runCommand({findProgram("swapoff"), path});
    }
    std::string path;
    bool active = false;
};

std::string readSysfsLine(const std::string& path)
{
    std::string text = readWholeFile(path);
    return text.substr(0, text.find('\n'));
}

LoopDevice::Options twoPartitions()
{
    LoopDevice::Options options;
    options.sizeBytes = kDiskBytes;
    options.partitions = {{8, "L"}, {0, "L"}};
    return options;
}

TEST_F(RealCopyTest, DestinationsTheSystemHoldsAreRefusedWithNothingWritten)
{
    struct Case {
        const char* name;
        bool wholeDrive;
        // Makes the system hold the destination's first partition; false when it cannot here.
        std::function<std::function<void()>(const std::string& partition, bool& held)> hold;
        std::string message;
    };
    const auto exclusiveOpener = [](const std::string& partition, bool& held) {
        auto opener = std::make_shared<HeldOpen>(partition, O_RDONLY | O_EXCL);
        held = opener->fd >= 0;
        return std::function<void()>([opener] {});
    };
    const auto swap = [](const std::string& partition, bool& held) {
        auto active = std::make_shared<ActiveSwap>(partition);
        held = active->active;
        return std::function<void()>([active] {});
    };
    const std::vector<Case> cases = {
        {"volume claimed by another program (as LVM, LUKS or md claim theirs)", false, exclusiveOpener, kInUse},
        {"volume in use as swap", false, swap, kInUse + "\nIn use by: swap."},
        {"drive with a claimed partition", true, exclusiveOpener, kInUse},
    };
    const auto from = patternDisk(kDiskBytes);
    ASSERT_TRUE(from);
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        const auto to = blankDisk(twoPartitions());
        ASSERT_TRUE(to);
        bool held = false;
        const std::function<void()> keep = tried.hold(to->partitionPath(0), held);
        if (!held) {
            std::cout << "[  NOTE    ] cannot make here: " << tried.name << '\n';
            continue;
        }
        const std::string before = readWholeFile(to->backingFile());
        const std::size_t shown = observer.messages().size();
        openDrive(source, from->diskseq(), OpenMode::ReadOnly);
        if (tried.wholeDrive)
            openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
        else
            ASSERT_TRUE(openDevice(destination, platform->devices(), to->partitionNames().at(0), OpenMode::ReadWrite));
        source.endSector = 1000;
        prepareJob();

        EXPECT_EQ(run(true), CopyOutcome::Failed);

        ASSERT_EQ(observer.messages().size(), shown + 1);
        EXPECT_EQ(observer.messages()[shown].text, tried.message);
        EXPECT_EQ(observer.messages()[shown].caption, "Error");
        EXPECT_TRUE(readWholeFile(to->backingFile()) == before) << "the destination was written";
        destination.handle.reset();
    }
}

TEST_F(RealCopyTest, PartitionKeptOpenElsewhereLeavesAWarningAndTheCloneGoesOn)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk(twoPartitions());
    ASSERT_TRUE(from && to);
    // Open without claiming, as a file manager or blkid does: the old
    // partitions cannot be forgotten while it is open.
    const HeldOpen reader(to->partitionPath(1), O_RDONLY);
    ASSERT_GE(reader.fd, 0);
    openDrive(source, from->diskseq(), OpenMode::ReadOnly);
    openDrive(destination, to->diskseq(), OpenMode::ReadWrite);
    prepareJob();

    EXPECT_EQ(run(true), CopyOutcome::Completed);

    EXPECT_TRUE(observer.messages().empty());
    EXPECT_NE(logText().find("End Sector :  49151\r\n"
                             "Warning: the partition table was erased, but the system still lists the old "
                             "partitions (a program keeps one open).\r\n"),
              std::string::npos)
        << logText();
    EXPECT_TRUE(sameFileBytes(to->backingFile(), 0, from->backingFile(), 0, kDiskBytes));
}

class VolumeIdentityTest : public RealCopyTest {
protected:
    // The set-up lists of one source drive and one destination volume.
    std::vector<DriveChoice> entries(const LoopDevice& from, const LoopDevice& to, VolumeIdentity listed)
    {
        DriveChoice drive{"/dev/disk/by-diskseq/" + std::to_string(from.diskseq()), true, kDiskBytes,
                          from.diskseq(), std::nullopt};
        DriveChoice volume{to.partitionNames().at(0), false, listed.lengthBytes, listed.driveNumber, listed};
        return {drive, volume};
    }

    VolumeIdentity asListedNow(const LoopDevice& disk)
    {
        const std::string folder = "/sys/class/block/" + disk.partitionNames().at(0);
        return {disk.diskseq(), 1, std::stoull(readSysfsLine(folder + "/start")) * 512,
                std::stoull(readSysfsLine(folder + "/size")) * 512};
    }
};

TEST_F(VolumeIdentityTest, AVolumeWhoseNameNowNamesAnotherPartitionIsRefused)
{
    const auto from = patternDisk(kDiskBytes);
    const auto to = blankDisk(twoPartitions());
    ASSERT_TRUE(from && to);
    const VolumeIdentity now = asListedNow(*to);
    struct Case {
        const char* name;
        VolumeIdentity listed;
        bool opens;
    };
    const std::vector<Case> cases = {
        {"as listed", now, true},
        {"another disk took the name", {now.driveNumber + 1000, 1, now.startBytes, now.lengthBytes}, false},
        {"the disk was partitioned anew", {now.driveNumber, 1, now.startBytes + 4096, now.lengthBytes}, false},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        const std::vector<DriveChoice> choices = entries(*from, *to, tried.listed);
        ScriptedMessageBox messages({MessageAnswer::Yes});
        const CloneRequest request{choices, 0, 1, AreaMode::Range, "0", "0", "100", 2};

        const CloneStart start = setUpClone(request, platform->devices(), messages);

        EXPECT_EQ(start.started, tried.opens);
        if (!tried.opens) {
            ASSERT_EQ(messages.requests().size(), 2u);
            EXPECT_EQ(messages.requests()[1].text, "The drive list has changed. Please choose again.");
            EXPECT_EQ(destinationDevice, nullptr);
        }
        releaseOperationSlots();
    }
}

TEST_F(VolumeIdentityTest, AnImageStoredOnTheDriveBeingImagedIsRefused)
{
    const auto from = blankDisk(twoPartitions());
    ASSERT_TRUE(from);
    std::string error;
    ASSERT_TRUE(makeExt4(from->partitionPath(1), error)) << error;
    const auto mount = ScopedMount::create(from->partitionPath(1), "ext4", error);
    ASSERT_TRUE(mount) << error;
    const DriveChoice drive{"/dev/disk/by-diskseq/" + std::to_string(from->diskseq()), true, kDiskBytes,
                            from->diskseq(), std::nullopt};
    const DriveChoice volume{from->partitionNames().at(0), false, 8u << 20, from->diskseq(), asListedNow(*from)};
    const std::string refusal = "The image file cannot be stored on the drive being imaged.";
    struct Case {
        const char* name;
        DriveChoice source;
        std::string imagePath;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"on a partition of the drive", drive, mount->mountPoint() + "/drive.img", true},
        {"over the file that backs the drive", drive, from->backingFile(), true},
        {"another partition of the drive", volume, mount->mountPoint() + "/volume.img", false},
        {"elsewhere", drive, files.file("drive.img"), false},
    };
    for (const Case& tried : cases) {
        SCOPED_TRACE(tried.name);
        // The mounted file system writes its own part of the disk at will;
        // the table and the first partition are ours to watch.
        const std::vector<std::uint8_t> before = fileBytes(from->backingFile(), 0, 9u << 20);
        ScriptedMessageBox messages({MessageAnswer::Yes});

        const bool started = setUpImaging({tried.source, tried.imagePath, kDiskBytes}, platform->devices(), messages);

        EXPECT_EQ(started, !tried.refused);
        if (tried.refused) {
            ASSERT_EQ(messages.requests().size(), 2u);
            EXPECT_EQ(messages.requests()[1].text, refusal);
            EXPECT_TRUE(fileBytes(from->backingFile(), 0, 9u << 20) == before) << "the source was written";
            EXPECT_EQ(std::filesystem::file_size(from->backingFile()), kDiskBytes);
        }
        releaseOperationSlots();
    }
}

} // namespace
} // namespace orvel::test
