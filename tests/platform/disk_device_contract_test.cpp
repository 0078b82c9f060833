#include "engine/disk_device.h"
#include "linux_test_support.h"
#include "platform/linux/linux_device_access.h"
#include "platform/linux/unique_fd.h"
#include "support/sim_platform_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orvel {
namespace {

// Counts what reaches the platform, to show that some names never do.
class CountingDeviceAccess final : public DeviceAccess {
public:
    explicit CountingDeviceAccess(DeviceAccess& inner) : inner_(inner) {}

    std::unique_ptr<DeviceHandle> openPhysicalDrive(std::string_view number, OpenMode mode) override
    {
        ++calls;
        return inner_.openPhysicalDrive(number, mode);
    }
    std::unique_ptr<DeviceHandle> openVolume(std::string_view name, OpenMode mode) override
    {
        ++calls;
        return inner_.openVolume(name, mode);
    }
    std::unique_ptr<DeviceHandle> createImageFile(const std::string& path) override
    {
        ++calls;
        return inner_.createImageFile(path);
    }
    std::unique_ptr<DeviceHandle> openImageFile(const std::string& path) override
    {
        ++calls;
        return inner_.openImageFile(path);
    }
    std::unique_ptr<DeviceHandle> continueImageFile(const std::string& path) override
    {
        ++calls;
        return inner_.continueImageFile(path);
    }
    std::optional<std::uint64_t> freeSpace(const std::string& path) override
    {
        ++calls;
        return inner_.freeSpace(path);
    }

    int calls = 0;

private:
    DeviceAccess& inner_;
};

// A disk that one back end made for a test, with one volume when asked.
struct ContractDisk {
    std::string number;
    std::string volume;
    std::uint64_t volumeStartByte = 0;
    std::uint64_t volumeBytes = 0;
    std::string backingFile;  // the disk's bytes, readable past the device
};

struct DiskRequest {
    std::uint64_t sizeBytes = 64ull << 20;
    std::uint32_t sectorSize = 512;
    bool withVolume = false;
};

constexpr std::uint64_t kVolumeBytes = 16ull << 20;

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::string unavailableReason() = 0;
    virtual std::optional<ContractDisk> make(const DiskRequest& request) = 0;
    virtual DeviceAccess& access() = 0;
};

class SimBackend final : public Backend {
public:
    std::string unavailableReason() override { return {}; }

    std::optional<ContractDisk> make(const DiskRequest& request) override
    {
        SimDriveSetup setup = test::simDrive(request.sizeBytes / request.sectorSize, request.sectorSize);
        ContractDisk disk;
        if (request.withVolume) {
            const std::uint64_t start = (1ull << 20) / request.sectorSize;
            setup.volumes.push_back({"sim0p1", start, kVolumeBytes / request.sectorSize, false});
            disk.volume = "sim0p1";
            disk.volumeStartByte = start * request.sectorSize;
            disk.volumeBytes = kVolumeBytes;
        }
        SimPlatform& platform = fixture_.make({setup});
        disk.number = "0";
        if (!platform.simulatedDrive(0).open()) {
            ADD_FAILURE() << "the simulated drive has no backing file";
            return std::nullopt;
        }
        disk.backingFile = platform.simulatedDrive(0).backingPath().string();
        return disk;
    }

    DeviceAccess& access() override { return fixture_.platform().devices(); }

private:
    test::SimPlatformFixture fixture_;
};

class LoopBackend final : public Backend {
public:
    std::string unavailableReason() override { return test::LoopDevice::unavailableReason(); }

    std::optional<ContractDisk> make(const DiskRequest& request) override
    {
        const std::uint64_t volumeMiB = kVolumeBytes >> 20;
        loop_ = test::makeLoopDevice(request.withVolume
                                         ? test::partitionedOptions(request.sizeBytes, {volumeMiB}, request.sectorSize)
                                         : test::diskOptions(request.sizeBytes, request.sectorSize));
        if (!loop_)
            return std::nullopt;
        ContractDisk disk;
        disk.number = std::to_string(loop_->diskseq());
        disk.backingFile = loop_->backingFile();
        if (request.withVolume) {
            disk.volume = loop_->partitionNames().at(0);
            // sysfs counts partition sectors in 512-byte units whatever the disk's sector size.
            disk.volumeStartByte = std::stoull(test::readSysfsLine("/sys/class/block/" + disk.volume + "/start")) * 512;
            disk.volumeBytes = kVolumeBytes;
        }
        return disk;
    }

    DeviceAccess& access() override { return access_; }

private:
    LinuxDeviceAccess access_;
    std::unique_ptr<test::LoopDevice> loop_;
};

enum class BackendKind { Simulated, LoopDevice };

std::vector<std::uint8_t> readBacking(const ContractDisk& disk, std::uint64_t offset, std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    const UniqueFd fd(::open(disk.backingFile.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd || ::pread(fd.get(), data.data(), bytes, static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes))
        ADD_FAILURE() << "cannot read the disk's backing file at " << offset;
    return data;
}

void writeBacking(const ContractDisk& disk, std::uint64_t offset, const std::vector<std::uint8_t>& bytes)
{
    const UniqueFd fd(::open(disk.backingFile.c_str(), O_WRONLY | O_CLOEXEC));
    if (!fd || ::pwrite(fd.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes.size()))
        ADD_FAILURE() << "cannot write the disk's backing file at " << offset;
}

class DiskDeviceContractTest : public ::testing::TestWithParam<BackendKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == BackendKind::Simulated)
            backend = std::make_unique<SimBackend>();
        else
            backend = std::make_unique<LoopBackend>();
        if (const std::string reason = backend->unavailableReason(); !reason.empty())
            GTEST_SKIP() << "needs loop devices: " << reason;
    }

    std::unique_ptr<Backend> backend;
    DiskDevice device;
};

TEST_P(DiskDeviceContractTest, DriveNumberOpensTheWholeDrive)
{
    const auto disk = backend->make({});
    ASSERT_TRUE(disk);
    ASSERT_TRUE(openDevice(device, backend->access(), disk->number, OpenMode::ReadWrite));
    EXPECT_EQ(device.name, disk->number);
    EXPECT_EQ(device.kind, DeviceKind::PhysicalDrive);
    EXPECT_NE(device.handle, nullptr);
    EXPECT_EQ(device.sectorSize, 512u);
    EXPECT_EQ(device.startSector, 0u);
    EXPECT_EQ(device.endSector, (64ull << 20) / 512);
}

TEST_P(DiskDeviceContractTest, VolumeNameOpensThePartitionAlone)
{
    const auto disk = backend->make({.withVolume = true});
    ASSERT_TRUE(disk);
    const std::vector<std::uint8_t> first(512, 0x3c);
    writeBacking(*disk, disk->volumeStartByte, first);

    ASSERT_TRUE(openDevice(device, backend->access(), disk->volume, OpenMode::ReadOnly)) << disk->volume;
    EXPECT_EQ(device.kind, DeviceKind::Volume);
    EXPECT_EQ(device.sectorSize, 512u);
    EXPECT_EQ(device.endSector, disk->volumeBytes / 512) << "the partition's length, not the drive's";
    AlignedBuffer sector(512);
    ASSERT_TRUE(readSectors(device, device.handle.get(), 0, sector.data(), 512));
    EXPECT_EQ(std::memcmp(sector.data(), first.data(), 512), 0) << "sector 0 of the volume is where it starts";
}

TEST_P(DiskDeviceContractTest, NamesNeitherNumberNorVolumeFailWithoutAskingThePlatform)
{
    const auto disk = backend->make({});
    ASSERT_TRUE(disk);
    CountingDeviceAccess counting(backend->access());
    for (const char* name : {"#1", ".", ""}) {
        DiskDevice fresh;
        EXPECT_FALSE(openDevice(fresh, counting, name, OpenMode::ReadOnly)) << '"' << name << '"';
        EXPECT_EQ(fresh.handle, nullptr);
        EXPECT_EQ(fresh.kind, DeviceKind::NotOpened);
    }
    EXPECT_EQ(counting.calls, 0);
}

TEST_P(DiskDeviceContractTest, FourKibibyteSectorsAreFoundByTheProbe)
{
    const auto disk = backend->make({.sectorSize = 4096});
    ASSERT_TRUE(disk);
    ASSERT_TRUE(openDevice(device, backend->access(), disk->number, OpenMode::ReadWrite));
    EXPECT_EQ(device.sectorSize, 4096u);
    EXPECT_EQ(device.endSector, (64ull << 20) / 4096);

    // Sector numbers count 4096-byte sectors.
    const AlignedBuffer data = test::patternBuffer(4096, 21);
    ASSERT_TRUE(writeSectors(device, device.handle.get(), data.data(), 4096, 3));
    ASSERT_TRUE(device.handle->flush().ok);
    EXPECT_EQ(std::memcmp(readBacking(*disk, 3 * 4096, 4096).data(), data.data(), 4096), 0);
    EXPECT_FALSE(writeSectors(device, device.handle.get(), data.data(), 512, 3)) << "part of a sector";
    EXPECT_EQ(device.lastError, static_cast<std::uint32_t>(EINVAL));
}

TEST_P(DiskDeviceContractTest, DriveOfMoreThanTwoToThe32SectorsKeepsItsFullCount)
{
    const std::uint64_t sectors = (1ull << 32) + 2048;
    const auto disk = backend->make({.sizeBytes = sectors * 512});
    ASSERT_TRUE(disk);
    ASSERT_TRUE(openDevice(device, backend->access(), disk->number, OpenMode::ReadWrite));
    EXPECT_EQ(device.endSector, sectors);

    const AlignedBuffer data = test::patternBuffer(512, 22);
    ASSERT_TRUE(writeSectors(device, device.handle.get(), data.data(), 512, sectors - 1));
    ASSERT_TRUE(device.handle->flush().ok);
    EXPECT_EQ(std::memcmp(readBacking(*disk, (sectors - 1) * 512, 512).data(), data.data(), 512), 0);
}

TEST_P(DiskDeviceContractTest, TransfersBeyondFourGibibytesLandAtSectorTimesSectorSize)
{
    const auto disk = backend->make({.sizeBytes = 6ull << 30});
    ASSERT_TRUE(disk);
    ASSERT_TRUE(openDevice(device, backend->access(), disk->number, OpenMode::ReadWrite));

    const std::uint64_t sector = (4ull << 30) / 512 + 777;
    const AlignedBuffer written = test::patternBuffer(32 * 1024, 23);
    ASSERT_TRUE(writeSectors(device, device.handle.get(), written.data(), 32 * 1024, sector));
    ASSERT_TRUE(device.handle->flush().ok);
    EXPECT_EQ(std::memcmp(readBacking(*disk, sector * 512, 32 * 1024).data(), written.data(), 32 * 1024), 0);
    EXPECT_EQ(readBacking(*disk, (sector * 512) & 0xffffffffull, 512), std::vector<std::uint8_t>(512, 0))
        << "the offset was cut to 32 bits";

    AlignedBuffer read(32 * 1024);
    ASSERT_TRUE(readSectors(device, device.handle.get(), sector, read.data(), 32 * 1024));
    EXPECT_EQ(std::memcmp(read.data(), written.data(), 32 * 1024), 0);
}

TEST_P(DiskDeviceContractTest, TransferPastTheEndFailsWithTheSystemsError)
{
    const auto disk = backend->make({.sizeBytes = 1ull << 20});
    ASSERT_TRUE(disk);
    ASSERT_TRUE(openDevice(device, backend->access(), disk->number, OpenMode::ReadWrite));
    AlignedBuffer buffer(1024);
    EXPECT_FALSE(readSectors(device, device.handle.get(), device.endSector - 1, buffer.data(), 1024));
    EXPECT_NE(device.lastError, 0u);
}

INSTANTIATE_TEST_SUITE_P(Backends, DiskDeviceContractTest,
                         ::testing::Values(BackendKind::Simulated, BackendKind::LoopDevice),
                         [](const ::testing::TestParamInfo<BackendKind>& kind) {
                             return kind.param == BackendKind::Simulated ? "Simulated" : "LoopDevice";
                         });

// Faults that a real device cannot be made to show on demand.
class SimDiskDeviceTest : public ::testing::Test {
protected:
    test::SimPlatformFixture fixture;
    DiskDevice device;
};

TEST_F(SimDiskDeviceTest, FailedCapacityRequestOpensWithEndSectorZero)
{
    SimDriveSetup setup = test::simDrive(2048);
    setup.faults.lengthQueryFails = true;
    SimPlatform& platform = fixture.make({setup});
    ASSERT_TRUE(openDevice(device, platform.devices(), "0", OpenMode::ReadWrite));
    EXPECT_EQ(device.sectorSize, 512u);
    EXPECT_EQ(device.endSector, 0u);
}

TEST_F(SimDiskDeviceTest, DeviceOnWhichNoReadSucceedsFailsToOpen)
{
    SimDriveSetup setup = test::simDrive(2048);
    setup.faults.allReadsFail = true;
    SimPlatform& platform = fixture.make({setup});
    EXPECT_FALSE(openDevice(device, platform.devices(), "0", OpenMode::ReadWrite));
    EXPECT_EQ(device.sectorSize, 0u);
    EXPECT_EQ(platform.simulatedDrive(0).transferCount(), 129u) << "every probe length from 512 to 66048, once";
}

} // namespace
} // namespace orvel
