#include "transfer_stats.h"

#include <algorithm>
#include <utility>

namespace orvel::faulty_fs {

TransferStats::TransferStats(std::uint64_t sectorCount, std::vector<SectorRange> failingReads)
    : failingReads_(std::move(failingReads)), everRead_(sectorCount, false)
{
}

void TransferStats::recordRead(std::uint64_t first, std::uint64_t last, bool failed)
{
    const std::lock_guard lock(mutex_);
    ++readRequests_;
    if (failed)
        ++readErrors_;
    sectorsRead_ += last - first + 1;
    for (std::uint64_t sector = first; sector <= last && sector < everRead_.size(); ++sector) {
        if (everRead_[sector])
            ++sectorsReadAgain_;
        everRead_[sector] = true;
    }
    for (const SectorRange& range : failingReads_) {
        const std::uint64_t from = std::max(range.first, first);
        const std::uint64_t to = std::min(range.last, last);
        for (std::uint64_t sector = from; from <= to; ++sector) {
            ++failingSectorReads_[sector];
            if (sector == to)
                break;
        }
    }
}

void TransferStats::recordWrite(std::uint64_t first, std::uint64_t last, bool failed)
{
    const std::lock_guard lock(mutex_);
    ++writeRequests_;
    if (failed)
        ++writeErrors_;
    else
        sectorsWritten_ += last - first + 1;
}

std::string TransferStats::report() const
{
    const std::lock_guard lock(mutex_);
    const std::pair<const char*, std::uint64_t> totals[] = {
        {"read_requests", readRequests_},   {"read_errors", readErrors_},
        {"sectors_read", sectorsRead_},     {"sectors_read_again", sectorsReadAgain_},
        {"write_requests", writeRequests_}, {"write_errors", writeErrors_},
        {"sectors_written", sectorsWritten_},
    };
    std::string text;
    for (const auto& [name, value] : totals)
        text += std::string(name) + ' ' + std::to_string(value) + '\n';
    for (const auto& [sector, reads] : failingSectorReads_)
        text += "failing_sector_reads " + std::to_string(sector) + ' ' + std::to_string(reads) + '\n';
    return text;
}

} // namespace orvel::faulty_fs
