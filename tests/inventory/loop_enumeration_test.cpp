// Enumeration of real kernel block devices: loop devices made by each test.

#include "inventory/drive_inventory.h"
#include "platform/platform.h"

#include "support/loop_device.h"
#include "support/run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

namespace orvel {
namespace {

using test::LoopDevice;

// Every enumeration starts from an empty inventory and leaves one behind.
class LoopEnumeration : public testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string reason = LoopDevice::unavailableReason(); !reason.empty())
            GTEST_SKIP() << "needs loop devices: " << reason;
        ClearInventory();
        platform = makeRealPlatform();
    }
    void TearDown() override { ClearInventory(); }

    std::unique_ptr<LoopDevice> makeLoop(LoopDevice::Options options)
    {
        std::string error;
        std::unique_ptr<LoopDevice> loop = LoopDevice::create(options, error);
        EXPECT_TRUE(loop) << "cannot make a loop device: " << error;
        return loop;
    }

    void enumerate()
    {
        ClearInventory();
        EnumeratePhysicalDrives(*platform, true);
        EXPECT_EQ(EnumerateVolumes(*platform), std::nullopt);
    }

    static const DriveInfo* driveNumbered(std::uint64_t number)
    {
        for (const auto& drive : physicalDrives)
            if (drive->diskIndex == number)
                return drive.get();
        return nullptr;
    }

    static const DriveInfo* volumeNamed(const std::string& name)
    {
        for (const auto& volume : volumes)
            if (volume->deviceName == name)
                return volume.get();
        return nullptr;
    }

    std::unique_ptr<Platform> platform;
};

// Sizes in bytes by kernel name, as lsblk reports them for a device and its partitions.
std::map<std::string, std::uint64_t> lsblkSizes(const std::string& devicePath)
{
    const test::CommandResult listed = test::runCommand({"lsblk", "--json", "--bytes", "-o", "NAME,SIZE", devicePath});
    EXPECT_EQ(listed.exitStatus, 0) << listed.output;
    std::map<std::string, std::uint64_t> sizes;
    const std::regex entry(R"re("name"\s*:\s*"([^"]+)"\s*,\s*"size"\s*:\s*(\d+))re");
    for (auto match = std::sregex_iterator(listed.output.begin(), listed.output.end(), entry);
         match != std::sregex_iterator(); ++match)
        sizes[(*match)[1].str()] = std::stoull((*match)[2].str());
    return sizes;
}

TEST_F(LoopEnumeration, AnAttachedLoopDeviceIsAPhysicalDriveWithItsPartitionsAsVolumes)
{
    LoopDevice::Options options;
    options.sizeBytes = 48ull << 20;
    options.partitions = {{16, "L"}, {0, "L"}};
    const auto loop = makeLoop(options);
    ASSERT_TRUE(loop);
    ASSERT_EQ(loop->partitionNames().size(), 2u);
    enumerate();

    const DriveInfo* drive = driveNumbered(loop->diskseq());
    ASSERT_NE(drive, nullptr) << loop->path() << " (diskseq " << loop->diskseq() << ") is not listed";
    EXPECT_EQ(drive->deviceName, "/dev/disk/by-diskseq/" + std::to_string(loop->diskseq()));
    EXPECT_EQ(drive->model, "Loop device " + std::filesystem::path(loop->backingFile()).filename().string());
    EXPECT_EQ(drive->caption, drive->model);
    EXPECT_EQ(drive->interfaceType, "SCSI");
    EXPECT_EQ(drive->mediaType, "Fixed hard disk media");
    EXPECT_EQ(drive->status, "OK");
    EXPECT_TRUE(drive->isPhysical);
    EXPECT_EQ(drive->temperatureC, 0u) << "a loop device answers no S.M.A.R.T. command";
    EXPECT_EQ(drive->smartAttributes[0].attributeId, 0);

    const std::map<std::string, std::uint64_t> sizes = lsblkSizes(loop->path());
    ASSERT_EQ(sizes.count(loop->kernelName()), 1u) << "lsblk does not list " << loop->path();
    EXPECT_EQ(drive->sizeBytes, sizes.at(loop->kernelName()));
    EXPECT_EQ(drive->sizeBytes, 48ull << 20);

    for (const std::string& name : loop->partitionNames()) {
        const DriveInfo* volume = volumeNamed(name);
        ASSERT_NE(volume, nullptr) << "partition " << name << " is not a volume";
        EXPECT_EQ(volume->caption, name);
        EXPECT_FALSE(volume->isPhysical);
        EXPECT_EQ(volume->holdingDrive, loop->diskseq()) << name << " names the disk that holds it";
        ASSERT_EQ(sizes.count(name), 1u) << "lsblk does not list " << name;
        EXPECT_EQ(volume->sizeBytes, sizes.at(name)) << name;
    }
    EXPECT_EQ(volumeNamed(loop->partitionNames()[0])->sizeBytes, 16ull << 20);
}

TEST_F(LoopEnumeration, SizesOfFourKilobyteSectorDisksAreInBytes)
{
    LoopDevice::Options options;
    options.sizeBytes = 32ull << 20;
    options.sectorSize = 4096;
    options.partitions = {{8, "L"}};
    const auto loop = makeLoop(options);
    ASSERT_TRUE(loop);
    enumerate();

    const DriveInfo* drive = driveNumbered(loop->diskseq());
    ASSERT_NE(drive, nullptr);
    const std::map<std::string, std::uint64_t> sizes = lsblkSizes(loop->path());
    EXPECT_EQ(drive->sizeBytes, sizes.at(loop->kernelName()));
    const DriveInfo* volume = volumeNamed(loop->partitionNames().at(0));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->sizeBytes, 8ull << 20);
    EXPECT_EQ(volume->sizeBytes, sizes.at(loop->partitionNames().at(0)));
}

TEST_F(LoopEnumeration, ADetachedLoopDeviceIsGone)
{
    LoopDevice::Options options;
    options.partitions = {{0, "L"}};
    auto loop = makeLoop(options);
    ASSERT_TRUE(loop);
    const std::uint64_t diskseq = loop->diskseq();
    const std::string partition = loop->partitionNames().at(0);
    enumerate();
    ASSERT_NE(driveNumbered(diskseq), nullptr);

    loop.reset();
    enumerate();
    EXPECT_EQ(driveNumbered(diskseq), nullptr);
    EXPECT_EQ(volumeNamed(partition), nullptr);
    for (const auto& drive : physicalDrives)
        EXPECT_FALSE(drive->model.empty()) << "drive " << drive->diskIndex << " has no model text";
}

TEST_F(LoopEnumeration, SmartTransportFindsTheDiskByNumberButItTakesNoCommands)
{
    const auto loop = makeLoop({});
    ASSERT_TRUE(loop);

    const std::unique_ptr<SmartDevice> device = platform->smart().openSmartDevice(loop->diskseq());
    ASSERT_NE(device, nullptr) << "drive " << loop->diskseq() << " should open";
    EXPECT_FALSE(device->supportsSmartCommands());

    // Sequence numbers only grow; this one has not been handed out.
    EXPECT_EQ(platform->smart().openSmartDevice(loop->diskseq() + 1'000'000), nullptr);
}

// A loop device is no NVMe namespace and speaks no ATA: asked for its health
// it gives nothing, and the inventory lists it without any.
TEST_F(LoopEnumeration, ALoopDeviceHasNoNvmeLogNorReturnStatus)
{
    const auto loop = makeLoop({});
    ASSERT_TRUE(loop);

    EXPECT_EQ(platform->smart().readNvmeHealthLog(loop->diskseq()), std::nullopt);
    const std::unique_ptr<SmartDevice> device = platform->smart().openSmartDevice(loop->diskseq());
    ASSERT_NE(device, nullptr);
    AtaRegisters returned;
    EXPECT_FALSE(device->queryRegisters({0xDA, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, returned));

    enumerate();
    const DriveInfo* drive = driveNumbered(loop->diskseq());
    ASSERT_NE(drive, nullptr);
    EXPECT_FALSE(drive->nvmeHealth);
    EXPECT_EQ(drive->status, "OK");
    EXPECT_EQ(drive->temperatureC, 0u);
}

} // namespace
} // namespace orvel
