#pragma once

#include "engine/operation_setup.h"
#include "inventory/drive_info.h"

#include <cstdint>
#include <string>

namespace orvel::cli {

// A drive or volume as the summary names it: "drive 0: <model>, 4.88 MB",
// "drive 4 (/dev/sdb): ..." when the operator typed a path, "volume sdb1 on
// drive 4, 100.00 MB".
std::string describeEntry(const DriveInfo& entry, const std::string& typed);

// An image file by its absolute path, and whether an existing file goes.
std::string describeImageFile(const std::string& path, bool replaced);
// An image file read for a restore: "image file PATH, 1.0 GB".
std::string describeImageSource(const std::string& path, std::uint64_t sizeBytes);

// What a clone or an imaging is about to do.
struct OperationPlan {
    std::string source;       // describeEntry
    std::string destination;  // describeEntry or describeImageFile
    bool destinationIsDrive = false;
    AreaMode mode = AreaMode::WholeArea;
    // A range, in source sectors.
    std::uint64_t sourceStart = 0;
    std::uint64_t destinationStart = 0;
    std::uint64_t count = 0;
};

// The lines printed before the confirmation question, whose own text (the
// desktop program's) names neither side.
std::string operationSummary(const OperationPlan& plan);

} // namespace orvel::cli
