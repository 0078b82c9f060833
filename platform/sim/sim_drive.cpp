#include "platform/sim/sim_drive.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace orvel {
namespace {

bool overlaps(const SimSectorRange& range, std::uint64_t first, std::uint64_t count)
{
    return range.first < first + count && first < range.first + range.count;
}

bool anyOverlaps(const std::vector<SimSectorRange>& ranges, std::uint64_t first, std::uint64_t count)
{
    return std::any_of(ranges.begin(), ranges.end(),
                       [&](const SimSectorRange& range) { return overlaps(range, first, count); });
}

// A drive that is gone fails with ENODEV, as an unplugged disk does.
IoResult failed(int error)
{
    return {false, static_cast<std::uint32_t>(error), error == ENODEV};
}

// A sparse file of the drive's size; an existing one keeps its content.
bool makeSparseFile(const std::filesystem::path& path, std::uint64_t size)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (!std::filesystem::exists(path, error)) {
        SimBackingFile created;
        if (!created.create(path))
            return false;
    }
    if (std::filesystem::file_size(path, error) == size && !error)
        return true;
    std::filesystem::resize_file(path, size, error);
    return !error;
}

} // namespace

SimDrive::SimDrive(SimDriveSetup setup, std::filesystem::path backingPath)
    : setup_(std::move(setup)), backingPath_(std::move(backingPath)), mounted_(setup_.volumes.size())
{
    for (std::size_t i = 0; i < setup_.volumes.size(); ++i)
        mounted_[i] = setup_.volumes[i].mounted;
    for (const SimFlakySector& flaky : setup_.faults.flakySectors)
        flakyReads_[flaky.sector] = 0;
}

bool SimDrive::open()
{
    const std::lock_guard lock(mutex_);
    if (gone_)
        return false;
    if (file_.isOpen())
        return true;
    if (setup_.imagePath.empty() && !makeSparseFile(backingPath_, setup_.sizeBytes))
        return false;
    return file_.open(backingPath_);
}

bool SimDrive::isPresent() const
{
    const std::lock_guard lock(mutex_);
    return !gone_;
}

bool SimDrive::countTransfer()
{
    if (gone_)
        return false;
    const auto& limit = setup_.faults.disappearAfterTransfers;
    if (limit && transfers_ >= *limit) {
        gone_ = true;
        return false;
    }
    ++transfers_;
    return true;
}

bool SimDrive::readFails(std::uint64_t firstSector, std::uint64_t sectorCount)
{
    // Every read that covers a flaky sector uses up one of its failures,
    // whatever else makes the read fail.
    bool flakyFails = false;
    for (const SimFlakySector& flaky : setup_.faults.flakySectors) {
        if (flaky.sector < firstSector || flaky.sector - firstSector >= sectorCount)
            continue;
        std::uint32_t& readsSoFar = flakyReads_[flaky.sector];
        if (readsSoFar < flaky.failingReads)
            flakyFails = true;
        ++readsSoFar;
    }
    return flakyFails || setup_.faults.allReadsFail || anyOverlaps(setup_.badSectors, firstSector, sectorCount);
}

IoResult SimDrive::read(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    const std::lock_guard lock(mutex_);
    if (!countTransfer())
        return failed(ENODEV);
    const std::uint64_t first = offset / setup_.sectorSize;
    const std::uint64_t count = bytes / setup_.sectorSize;
    const bool ok = !readFails(first, count) && file_.read(offset, buffer, bytes);
    events_.push_back({SimEventKind::Read, first, count, ok});
    return ok ? IoResult{true, 0} : failed(EIO);
}

IoResult SimDrive::write(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    const std::lock_guard lock(mutex_);
    if (!countTransfer())
        return failed(ENODEV);
    const std::uint64_t first = offset / setup_.sectorSize;
    const std::uint64_t count = bytes / setup_.sectorSize;
    IoResult result{true, 0};
    if (anyOverlaps(setup_.faults.failingWrites, first, count))
        result = failed(EIO);
    else if (!file_.isWritable())
        result = failed(EROFS);
    else if (!file_.write(offset, buffer, bytes))
        result = failed(EIO);
    events_.push_back({SimEventKind::Write, first, count, result.ok});
    return result;
}

IoResult SimDrive::flush()
{
    const std::lock_guard lock(mutex_);
    if (gone_)
        return failed(ENODEV);
    const bool ok = !setup_.faults.flushFails && file_.flush();
    events_.push_back({SimEventKind::Flush, 0, 0, ok});
    return ok ? IoResult{true, 0} : failed(EIO);
}

bool SimDrive::answersLengthQuery() const
{
    const std::lock_guard lock(mutex_);
    return !gone_ && !setup_.faults.lengthQueryFails;
}

bool SimDrive::zeroBytes(std::uint64_t offset, std::uint64_t bytes)
{
    const std::vector<char> zeros(bytes, 0);
    return file_.write(offset, zeros.data(), zeros.size());
}

bool SimDrive::deleteLayout()
{
    const std::lock_guard lock(mutex_);
    const bool anyMounted = std::find(mounted_.begin(), mounted_.end(), true) != mounted_.end();
    if (gone_ || anyMounted || setup_.faults.layoutDeletionFails || !file_.isWritable())
        return false;
    // The MBR and primary GPT (header and 128-entry table) at the start, the
    // backup GPT at the end: 34 and 33 blocks of 512 bytes, or 6 and 5 of 4096.
    const std::uint64_t headBytes = setup_.sectorSize == 4096 ? 6 * 4096 : 34 * 512;
    const std::uint64_t tailBytes = setup_.sectorSize == 4096 ? 5 * 4096 : 33 * 512;
    const std::uint64_t size = setup_.sizeBytes;
    const std::uint64_t head = std::min(headBytes, size);
    const std::uint64_t tail = std::min(tailBytes, size);
    const bool ok = zeroBytes(0, head) && zeroBytes(size - tail, tail);
    events_.push_back({SimEventKind::LayoutDeletion, 0, 0, ok});
    return ok;
}

bool SimDrive::dismountVolume(std::size_t volume)
{
    const std::lock_guard lock(mutex_);
    if (gone_ || setup_.faults.dismountFails)
        return false;
    mounted_.at(volume) = false;
    return true;
}

bool SimDrive::lockVolume(std::size_t volume)
{
    const std::lock_guard lock(mutex_);
    return volume < mounted_.size() && !gone_ && !setup_.faults.lockFails;
}

std::uint64_t SimDrive::readCount(std::uint64_t sector) const
{
    const std::lock_guard lock(mutex_);
    return static_cast<std::uint64_t>(std::count_if(events_.begin(), events_.end(), [&](const SimEvent& event) {
        return event.kind == SimEventKind::Read && overlaps({event.firstSector, event.sectorCount}, sector, 1);
    }));
}

std::uint64_t SimDrive::transferCount() const
{
    const std::lock_guard lock(mutex_);
    return transfers_;
}

std::vector<SimEvent> SimDrive::events() const
{
    const std::lock_guard lock(mutex_);
    return events_;
}

bool SimDrive::isVolumeMounted(std::size_t volume) const
{
    const std::lock_guard lock(mutex_);
    return mounted_.at(volume);
}

void SimDrive::disappear()
{
    const std::lock_guard lock(mutex_);
    gone_ = true;
}

} // namespace orvel
