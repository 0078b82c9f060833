#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvel::cli {

// What the progress display knows at one moment.
struct ProgressSnapshot {
    std::uint64_t positionBytes = 0;
    std::uint64_t endBytes = 0;
    std::uint64_t startBytes = 0;       // where the operation began
    double elapsedSeconds = 0;
    std::uint64_t badSectors = 0;
    bool verifying = false;             // the destination is being read back
    bool readingBadSectors = false;     // the worker re-reads a failed block
};

// "37%  1.20 GB of 3.30 GB  412.5 MB/s  0:00:05 left  0 bad sectors"; the
// rate and the time left appear once there is something to measure; while
// bad sectors are read again, "reading bad sectors" stands for the time left,
// which their slow reads would make absurd. While
// verifying: "verifying  37%  1.20 GB of 3.30 GB ..." without the bad sectors.
std::string progressLine(const ProgressSnapshot& snapshot);

// Bytes in the program's units (multiples of 1024, two decimals).
std::string byteCountText(std::uint64_t bytes);

} // namespace orvel::cli
