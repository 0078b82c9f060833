#pragma once

#include "sector_ranges.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace orvel::faulty_fs {

// Counts what the kernel asked of the disk, so that a test or a benchmark can
// see how often each read-failing sector was tried and how much was read twice.
// Requests arrive on several threads at once.
class TransferStats {
public:
    TransferStats(std::uint64_t sectorCount, std::vector<SectorRange> failingReads);

    // A request for the sectors from first to last (inclusive). Sectors read
    // count what was asked for, failed requests included; sectors written
    // count what landed.
    void recordRead(std::uint64_t first, std::uint64_t last, bool failed);
    void recordWrite(std::uint64_t first, std::uint64_t last, bool failed);

    // "name value" lines, then one "failing_sector_reads SECTOR COUNT" line per
    // read-failing sector that a request touched, in sector order.
    std::string report() const;

private:
    mutable std::mutex mutex_;
    const std::vector<SectorRange> failingReads_;
    std::vector<bool> everRead_;
    std::map<std::uint64_t, std::uint64_t> failingSectorReads_;
    std::uint64_t readRequests_ = 0;
    std::uint64_t readErrors_ = 0;
    std::uint64_t sectorsRead_ = 0;
    std::uint64_t sectorsReadAgain_ = 0;
    std::uint64_t writeRequests_ = 0;
    std::uint64_t writeErrors_ = 0;
    std::uint64_t sectorsWritten_ = 0;
};

} // namespace orvel::faulty_fs
