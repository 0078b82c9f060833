#include "support/faulty_disk.h"

#include "platform/aligned_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orvel {
namespace {

using test::FaultyDisk;

struct Geometry {
    std::uint32_t sectorSize;
    bool loopDirectIo;
};

void PrintTo(const Geometry& geometry, std::ostream* out)
{
    *out << geometry.sectorSize << "-byte sectors, loop direct I/O " << (geometry.loopDirectIo ? "on" : "off");
}

std::string geometryName(const ::testing::TestParamInfo<Geometry>& info)
{
    return std::to_string(info.param.sectorSize) + (info.param.loopDirectIo ? "_LoopDirectIo" : "_LoopBuffered");
}

class DeviceFile {
public:
    DeviceFile(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_DIRECT | O_CLOEXEC)) {}
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;
    ~DeviceFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// errno of a failed transfer, 0 when every byte moved, -1 for a short one.
int readAt(const DeviceFile& device, AlignedBuffer& buffer, std::uint64_t offset)
{
    const ssize_t got = ::pread(device.get(), buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (got < 0)
        return errno;
    return static_cast<std::size_t>(got) == buffer.size() ? 0 : -1;
}

int writeAt(const DeviceFile& device, const AlignedBuffer& buffer, std::uint64_t offset)
{
    const ssize_t written = ::pwrite(device.get(), buffer.data(), buffer.size(), static_cast<off_t>(offset));
    if (written < 0)
        return errno;
    return static_cast<std::size_t>(written) == buffer.size() ? 0 : -1;
}

bool sameBytes(const AlignedBuffer& buffer, const std::vector<std::uint8_t>& expected)
{
    return buffer.size() == expected.size() && std::memcmp(buffer.data(), expected.data(), expected.size()) == 0;
}

bool contains(const std::vector<std::uint64_t>& sectors, std::uint64_t sector)
{
    return std::find(sectors.begin(), sectors.end(), sector) != sectors.end();
}

class FaultyDiskTest : public ::testing::TestWithParam<Geometry> {
protected:
    void SetUp() override
    {
        if (const std::string reason = FaultyDisk::unavailableReason(); !reason.empty())
            GTEST_SKIP() << reason;
    }

    std::unique_ptr<FaultyDisk> makeDisk(std::vector<std::uint64_t> failingReads,
                                         std::vector<std::uint64_t> failingWrites = {})
    {
        FaultyDisk::Options options;
        options.sizeBytes = 4ull << 20;
        options.sectorSize = GetParam().sectorSize;
        options.directIo = GetParam().loopDirectIo;
        options.failingReads = std::move(failingReads);
        options.failingWrites = std::move(failingWrites);
        std::string error;
        auto disk = FaultyDisk::create(options, error);
        EXPECT_NE(disk, nullptr) << error;
        return disk;
    }
};

TEST_P(FaultyDiskTest, SingleSectorReadsFailExactlyOnListedSectors)
{
    const std::uint32_t sectorSize = GetParam().sectorSize;
    const std::uint64_t sectorCount = (4ull << 20) / sectorSize;
    const std::vector<std::uint64_t> failing = {0, 10, 11, 300, sectorCount - 1};
    const auto disk = makeDisk(failing);
    ASSERT_NE(disk, nullptr);
    ASSERT_EQ(disk->sectorCount(), sectorCount);
    const DeviceFile device(disk->path(), O_RDONLY);
    ASSERT_GE(device.get(), 0) << disk->path() << ": " << std::strerror(errno);

    AlignedBuffer sector(sectorSize);
    for (std::uint64_t number = 0; number < sectorCount; ++number) {
        const std::uint64_t offset = number * sectorSize;
        const int result = readAt(device, sector, offset);
        if (contains(failing, number)) {
            EXPECT_EQ(result, EIO) << "sector " << number << " is listed as unreadable";
        } else {
            ASSERT_EQ(result, 0) << "sector " << number << ": " << std::strerror(result);
            ASSERT_TRUE(sameBytes(sector, disk->backingBytes(offset, sectorSize)))
                << "sector " << number << " differs from the backing file";
        }
    }
}

TEST_P(FaultyDiskTest, BlockReadsFailAsAWholeWhenTheyTouchAListedSector)
{
    const std::uint32_t sectorSize = GetParam().sectorSize;
    const std::uint64_t sectorsPerBlock = (64u << 10) / sectorSize;
    // One bad sector in the middle of block 3, one at the very end of block 5.
    const std::vector<std::uint64_t> failing = {3 * sectorsPerBlock + 7, 6 * sectorsPerBlock - 1};
    const auto disk = makeDisk(failing);
    ASSERT_NE(disk, nullptr);
    const DeviceFile device(disk->path(), O_RDONLY);
    ASSERT_GE(device.get(), 0) << disk->path() << ": " << std::strerror(errno);

    AlignedBuffer block(64u << 10);
    for (std::uint64_t index = 0; index < disk->sizeBytes() / block.size(); ++index) {
        const std::uint64_t offset = index * block.size();
        const int result = readAt(device, block, offset);
        if (index == 3 || index == 5) {
            EXPECT_EQ(result, EIO) << "block " << index << " holds an unreadable sector";
        } else {
            ASSERT_EQ(result, 0) << "block " << index << ": " << std::strerror(result);
            EXPECT_TRUE(sameBytes(block, disk->backingBytes(offset, block.size())))
                << "block " << index << " differs from the backing file";
        }
    }

    // A large read spanning many FUSE requests still fails when one of them does.
    AlignedBuffer large(1u << 20);
    EXPECT_EQ(readAt(device, large, 0), EIO);
    EXPECT_EQ(readAt(device, large, 1u << 20), 0);
}

TEST_P(FaultyDiskTest, EveryReadOfABadSectorReachesTheDiskOnceAndFails)
{
    const std::uint64_t bad = 77;
    const auto disk = makeDisk({bad});
    ASSERT_NE(disk, nullptr);
    const DeviceFile device(disk->path(), O_RDONLY);
    ASSERT_GE(device.get(), 0) << disk->path() << ": " << std::strerror(errno);
    const auto before = disk->stats();
    ASSERT_TRUE(before.has_value()) << "the stats file could not be read";

    // No cache answers a retry, and the kernel adds no retries of its own:
    // the engine's retry counts are what the disk sees.
    AlignedBuffer sector(GetParam().sectorSize);
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_EQ(readAt(device, sector, bad * sector.size()), EIO) << "attempt " << attempt;
    ASSERT_EQ(readAt(device, sector, (bad + 1) * sector.size()), 0);

    const auto after = disk->stats();
    ASSERT_TRUE(after.has_value()) << "the stats file could not be read";
    const auto triesOf = [bad](const test::FaultyDiskStats& stats) {
        const auto found = stats.failingSectorReads.find(bad);
        return found == stats.failingSectorReads.end() ? 0 : found->second;
    };
    EXPECT_EQ(triesOf(*after) - triesOf(*before), 3u);
    EXPECT_EQ(after->readErrors - before->readErrors, 3u);
    EXPECT_EQ(after->readRequests - before->readRequests, 4u);
}

TEST_P(FaultyDiskTest, WritesFailOnListedSectorsAndLandElsewhere)
{
    const std::uint32_t sectorSize = GetParam().sectorSize;
    const std::vector<std::uint64_t> unwritable = {40, 41, 500};
    const auto disk = makeDisk({}, unwritable);
    ASSERT_NE(disk, nullptr);
    const DeviceFile device(disk->path(), O_RDWR);
    ASSERT_GE(device.get(), 0) << disk->path() << ": " << std::strerror(errno);

    AlignedBuffer data(sectorSize);
    for (std::uint64_t number = 36; number < 46; ++number) {
        const std::uint64_t offset = number * sectorSize;
        const std::vector<std::uint8_t> before = disk->backingBytes(offset, sectorSize);
        std::fill(data.data(), data.data() + data.size(), static_cast<std::uint8_t>(0xA0 + number));
        const int result = writeAt(device, data, offset);
        if (contains(unwritable, number)) {
            EXPECT_EQ(result, EIO) << "sector " << number << " is listed as unwritable";
            EXPECT_EQ(disk->backingBytes(offset, sectorSize), before) << "a failed write changed sector " << number;
        } else {
            ASSERT_EQ(result, 0) << "sector " << number << ": " << std::strerror(result);
            EXPECT_TRUE(sameBytes(data, disk->backingBytes(offset, sectorSize)))
                << "the write to sector " << number << " did not land";
        }
    }

    // A block write over an unwritable sector fails; a real destination write error.
    AlignedBuffer block(64u << 10);
    const std::uint64_t blockHoldingBad = 500 * sectorSize / block.size() * block.size();
    EXPECT_EQ(writeAt(device, block, blockHoldingBad), EIO);
    ASSERT_EQ(::fsync(device.get()), 0) << std::strerror(errno);

    AlignedBuffer readBack(sectorSize);
    EXPECT_EQ(readAt(device, readBack, 37 * sectorSize), 0);
    EXPECT_TRUE(sameBytes(readBack, disk->backingBytes(37 * sectorSize, sectorSize)));
}

TEST_P(FaultyDiskTest, EverythingItMadeGoesWithIt)
{
    auto disk = makeDisk({5}, {6});
    ASSERT_NE(disk, nullptr);
    const std::string folder = disk->backingFile().substr(0, disk->backingFile().rfind('/'));
    const std::string kernelName = disk->loopDevice().kernelName();
    const std::string servedFile = disk->loopDevice().backingFile();

    disk.reset();

    struct stat attributes = {};
    EXPECT_NE(::stat(folder.c_str(), &attributes), 0) << folder << " was left behind";
    EXPECT_NE(test::readSysfsLine("/sys/block/" + kernelName + "/loop/backing_file"), servedFile)
        << "/dev/" << kernelName << " is still attached";
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);)
        EXPECT_EQ(line.find(folder), std::string::npos) << "left mounted: " << line;
}

INSTANTIATE_TEST_SUITE_P(Geometries, FaultyDiskTest,
                         ::testing::Values(Geometry{512, true}, Geometry{512, false}, Geometry{4096, true},
                                           Geometry{4096, false}),
                         geometryName);

} // namespace
} // namespace orvel
