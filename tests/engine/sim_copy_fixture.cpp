#include "sim_copy_fixture.h"

#include "engine/block_pipeline.h"
#include "engine/forward_copy.h"
#include "engine/operation_log.h"
#include "engine/reverse_copy.h"
#include "platform/sim/sim_platform.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

namespace orvel::test {

namespace {

class HookedHandle : public DeviceHandle {
public:
    HookedHandle(std::unique_ptr<DeviceHandle> inner, TransferHooks hooks)
        : inner_(std::move(inner)), hooks_(std::move(hooks))
    {
    }

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override
    {
        const IoResult result = inner_->readAt(offset, buffer, bytes);
        if (hooks_.afterRead)
            hooks_.afterRead(offset, bytes);
        return result;
    }
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override
    {
        const IoResult result = inner_->writeAt(offset, buffer, bytes);
        if (hooks_.afterWrite)
            hooks_.afterWrite(offset, bytes);
        return result;
    }
    bool queryLength(std::uint64_t& lengthBytes) override { return inner_->queryLength(lengthBytes); }
    IoResult flush() override { return inner_->flush(); }
    LayoutDeletion deleteDriveLayout() override
    {
        const LayoutDeletion deleted = inner_->deleteDriveLayout();
        if (hooks_.afterLayoutDeletion)
            hooks_.afterLayoutDeletion();
        return deleted;
    }
    bool dismountVolume() override { return inner_->dismountVolume(); }
    bool lockVolume() override { return inner_->lockVolume(); }

private:
    std::unique_ptr<DeviceHandle> inner_;
    TransferHooks hooks_;
};

std::vector<SimEvent> eventsSince(const SimDrive& drive, std::size_t before)
{
    std::vector<SimEvent> events = drive.events();
    events.erase(events.begin(), events.begin() + static_cast<std::ptrdiff_t>(std::min(before, events.size())));
    return events;
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> transfers(const std::vector<SimEvent>& events, SimEventKind kind)
{
    std::vector<std::pair<std::uint64_t, std::uint64_t>> found;
    for (const SimEvent& event : events)
        if (event.kind == kind)
            found.emplace_back(event.firstSector, event.sectorCount);
    return found;
}

} // namespace

std::vector<std::uint8_t> patternSector(std::uint64_t sector, std::uint32_t sectorSize)
{
    std::vector<std::uint8_t> bytes(sectorSize, static_cast<std::uint8_t>(sector * 37 % 251 + 1));
    std::memcpy(bytes.data(), &sector, sizeof sector);
    return bytes;
}

void writePatternFile(const std::string& path, std::uint64_t sectors, std::uint32_t sectorSize)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (std::uint64_t sector = 0; sector < sectors; ++sector) {
        const std::vector<std::uint8_t> bytes = patternSector(sector, sectorSize);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ASSERT_TRUE(file.good()) << "cannot write " << path;
}

std::vector<std::uint8_t> fileBytes(const std::string& path, std::uint64_t offset, std::size_t length)
{
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    std::vector<std::uint8_t> bytes(length);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

std::string readTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string deviceLostEnding(std::uint64_t sector, std::uint64_t copied, std::uint64_t bad)
{
    return "Device lost. Sector No.\t:\t" + std::to_string(sector) + "\r\nOperation failed.\r\n" +
           std::to_string(copied) + " Sector(s) copied.\r\n" + std::to_string(bad) + " Bad Sector(s) encountered.\r\n";
}

std::string afterTimeLine(const std::string& log)
{
    const std::regex header("^Log File of Cloning/Imaging\r\nCurrent date and time : "
                            "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                            "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}\r\n\r\n");
    std::smatch match;
    if (!std::regex_search(log, match, header))
        return "(no header in: " + log + ")";
    return match.suffix();
}

void hookHandle(DiskDevice& device, TransferHooks hooks)
{
    device.handle = std::make_unique<HookedHandle>(std::move(device.handle), std::move(hooks));
}

void SimCopyTest::TearDown()
{
    source.handle.reset();
    destination.handle.reset();
}

void SimCopyTest::makeDrives(SimDriveSetup sourceSetup, SimDriveSetup destinationSetup)
{
    sourceSetup.imagePath = files.file("source.img");
    writePatternFile(sourceSetup.imagePath.string(), sourceSetup.sizeBytes / sourceSetup.sectorSize, sourceSetup.sectorSize);
    SimPlatform& platform = sims.make({std::move(sourceSetup), std::move(destinationSetup)});
    ASSERT_TRUE(openDevice(source, platform.devices(), "0", OpenMode::ReadOnly));
    ASSERT_TRUE(openDevice(destination, platform.devices(), "1", OpenMode::ReadWrite));
    destinationPath = platform.simulatedDrive(1).backingPath().string();
    prepareJob();
}

void SimCopyTest::makeImaging(SimDriveSetup sourceSetup)
{
    sourceSetup.imagePath = files.file("source.img");
    writePatternFile(sourceSetup.imagePath.string(), sourceSetup.sizeBytes / sourceSetup.sectorSize, sourceSetup.sectorSize);
    SimPlatform& platform = sims.make({std::move(sourceSetup)});
    ASSERT_TRUE(openDevice(source, platform.devices(), "0", OpenMode::ReadOnly));
    destinationPath = files.file("copy.img");
    destination.handle = platform.devices().createImageFile(destinationPath);
    ASSERT_NE(destination.handle, nullptr);
    cloningShown = false;
    prepareJob();
}

void SimCopyTest::prepareJob()
{
    job.state = JobState::Running;
    job.positionBytes = source.startSector * source.sectorSize;
    job.endBytes = source.endSector * source.sectorSize;
    observer.watch(job);
}

CopyContext SimCopyTest::context()
{
    return {source, destination, job, observer, gate, cloningShown, logPath};
}

CopyOutcome SimCopyTest::run(bool forward)
{
    logPath = writeLogHeader(files.path(), "Source Disk", "Destination Disk", source).path;
    SimPlatform& platform = sims.platform();
    sourceEventsBefore_ = platform.simulatedDrive(0).events().size();
    if (platform.driveCount() > 1)
        destinationEventsBefore_ = platform.simulatedDrive(1).events().size();
    CopyContext copy = context();
    return forward ? runForwardCopy(copy) : runReverseCopy(copy);
}

CopyOutcome SimCopyTest::runForward()
{
    return run(true);
}

CopyOutcome SimCopyTest::runReverse()
{
    return run(false);
}

std::string SimCopyTest::logText() const
{
    return readTextFile(logPath);
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> SimCopyTest::sourceReads()
{
    return transfers(eventsSince(sourceDrive(), sourceEventsBefore_), SimEventKind::Read);
}

std::vector<std::pair<std::uint64_t, std::uint64_t>> SimCopyTest::destinationWrites()
{
    return transfers(destinationEvents(), SimEventKind::Write);
}

::testing::AssertionResult
SimCopyTest::readsTakenThenAhead(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& taken,
                                 const std::vector<std::pair<std::uint64_t, std::uint64_t>>& ahead)
{
    const auto reads = sourceReads();
    auto expected = taken;
    const std::size_t mostAhead = std::min(ahead.size(), BlockPipeline::kBlocksInFlight - 1);
    for (std::size_t count = 0; count <= mostAhead; ++count) {
        if (reads == expected)
            return ::testing::AssertionSuccess();
        if (count < mostAhead)
            expected.push_back(ahead[count]);
    }
    auto failure = ::testing::AssertionFailure() << "source reads:";
    for (const auto& [first, count] : reads)
        failure << " (" << first << ", " << count << ")";
    return failure;
}

std::vector<SimEvent> SimCopyTest::destinationEvents()
{
    return eventsSince(destinationDrive(), destinationEventsBefore_);
}

SimDrive& SimCopyTest::sourceDrive()
{
    return sims.platform().simulatedDrive(0);
}

SimDrive& SimCopyTest::destinationDrive()
{
    return sims.platform().simulatedDrive(1);
}

std::vector<std::uint8_t> SimCopyTest::destinationBytes(std::uint64_t destinationSector, std::uint64_t count) const
{
    const std::uint32_t sectorSize = source.sectorSize;
    return fileBytes(destinationPath, destinationSector * sectorSize, count * sectorSize);
}

::testing::AssertionResult SimCopyTest::holdsSource(std::uint64_t destinationFirst, std::uint64_t sourceFirst,
                                                    std::uint64_t count,
                                                    const std::vector<std::uint64_t>& except) const
{
    const std::uint32_t sectorSize = source.sectorSize;
    constexpr std::uint64_t kSectorsPerRead = 8192;
    for (std::uint64_t done = 0; done < count; done += kSectorsPerRead) {
        const std::uint64_t part = std::min(kSectorsPerRead, count - done);
        const std::vector<std::uint8_t> bytes = destinationBytes(destinationFirst + done, part);
        for (std::uint64_t k = 0; k < part; ++k) {
            const std::uint64_t sourceSector = sourceFirst + done + k;
            if (std::find(except.begin(), except.end(), sourceSector) != except.end())
                continue;
            const std::vector<std::uint8_t> expected = patternSector(sourceSector, sectorSize);
            if (bytes.size() < (k + 1) * sectorSize ||
                !std::equal(expected.begin(), expected.end(), bytes.begin() + static_cast<std::ptrdiff_t>(k * sectorSize)))
                return ::testing::AssertionFailure() << "destination sector " << destinationFirst + done + k
                                                     << " does not hold source sector " << sourceSector;
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace orvel::test
