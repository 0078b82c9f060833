#include "real_copy_fixture.h"

#include "engine/forward_copy.h"
#include "engine/operation_log.h"
#include "engine/reverse_copy.h"
#include "sim_copy_fixture.h"

#include <algorithm>
#include <fstream>

namespace orvel::test {

::testing::AssertionResult sameFileBytes(const std::string& actualPath, std::uint64_t actualOffset,
                                         const std::string& expectedPath, std::uint64_t expectedOffset,
                                         std::uint64_t length)
{
    constexpr std::uint64_t kPart = 8u << 20;
    for (std::uint64_t done = 0; done < length; done += kPart) {
        const std::size_t part = static_cast<std::size_t>(std::min(kPart, length - done));
        const std::vector<std::uint8_t> actual = fileBytes(actualPath, actualOffset + done, part);
        const std::vector<std::uint8_t> expected = fileBytes(expectedPath, expectedOffset + done, part);
        if (actual.size() != part || expected.size() != part)
            return ::testing::AssertionFailure() << "short file near byte " << done;
        const auto [at, unused] = std::mismatch(actual.begin(), actual.end(), expected.begin());
        if (at != actual.end())
            return ::testing::AssertionFailure()
                   << actualPath << " differs from " << expectedPath << " at byte "
                   << actualOffset + done + static_cast<std::uint64_t>(at - actual.begin());
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult allBytesAre(const std::string& path, std::uint64_t offset, std::uint64_t length,
                                       std::uint8_t fill)
{
    constexpr std::uint64_t kPart = 8u << 20;
    for (std::uint64_t done = 0; done < length; done += kPart) {
        const std::size_t part = static_cast<std::size_t>(std::min(kPart, length - done));
        const std::vector<std::uint8_t> bytes = fileBytes(path, offset + done, part);
        if (bytes.size() != part)
            return ::testing::AssertionFailure() << "short file near byte " << offset + done;
        const auto at = std::find_if(bytes.begin(), bytes.end(), [fill](std::uint8_t byte) { return byte != fill; });
        if (at != bytes.end())
            return ::testing::AssertionFailure()
                   << path << " changed at byte " << offset + done + static_cast<std::uint64_t>(at - bytes.begin());
    }
    return ::testing::AssertionSuccess();
}

void RealCopyTest::SetUp()
{
    if (const std::string reason = LoopDevice::unavailableReason(); !reason.empty())
        GTEST_SKIP() << "needs loop devices: " << reason;
    platform = makeRealPlatform();
}

void RealCopyTest::TearDown()
{
    source.handle.reset();
    destination.handle.reset();
}

std::unique_ptr<LoopDevice> RealCopyTest::patternDisk(std::uint64_t bytes, std::uint32_t sectorSize)
{
    LoopDevice::Options options;
    options.sizeBytes = bytes;
    options.sectorSize = sectorSize;
    options.backingFile = files.file("pattern" + std::to_string(sectorSize) + ".img");
    writePatternFile(options.backingFile, bytes / sectorSize, sectorSize);
    std::string error;
    std::unique_ptr<LoopDevice> device = LoopDevice::create(options, error);
    if (!device)
        ADD_FAILURE() << "cannot make a loop device: " << error;
    return device;
}

std::unique_ptr<LoopDevice> RealCopyTest::blankDisk(LoopDevice::Options options)
{
    std::string error;
    std::unique_ptr<LoopDevice> device = LoopDevice::create(options, error);
    if (!device)
        ADD_FAILURE() << "cannot make a loop device: " << error;
    return device;
}

std::unique_ptr<LoopDevice> RealCopyTest::filledDisk(std::uint64_t bytes, std::uint32_t sectorSize, std::uint8_t fill)
{
    LoopDevice::Options options;
    options.sizeBytes = bytes;
    options.sectorSize = sectorSize;
    options.backingFile = files.file("filled" + std::to_string(sectorSize) + ".img");
    {
        std::ofstream file(options.backingFile, std::ios::binary | std::ios::trunc);
        const std::vector<char> part(1u << 20, static_cast<char>(fill));
        for (std::uint64_t done = 0; done < bytes; done += part.size())
            file.write(part.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(part.size(), bytes - done)));
        if (!file.good())
            ADD_FAILURE() << "cannot write " << options.backingFile;
    }
    return blankDisk(options);
}

void RealCopyTest::openDrive(DiskDevice& device, std::uint64_t diskseq, OpenMode mode)
{
    ASSERT_TRUE(openDevice(device, platform->devices(), std::to_string(diskseq), mode));
}

void RealCopyTest::prepareJob()
{
    job.state = JobState::Running;
    job.positionBytes = source.startSector * source.sectorSize;
    job.endBytes = source.endSector * source.sectorSize;
}

CopyOutcome RealCopyTest::run(bool forward)
{
    logPath = writeLogHeader(files.path(), "Source Disk", "Destination Disk", source).path;
    CopyContext context{source, destination, job, observer, gate, cloningShown, logPath};
    return forward ? runForwardCopy(context) : runReverseCopy(context);
}

std::string RealCopyTest::logText() const
{
    return readTextFile(logPath);
}

} // namespace orvel::test
