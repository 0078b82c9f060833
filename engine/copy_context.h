#pragma once

#include "engine/copy_job.h"
#include "engine/copy_observer.h"
#include "engine/map_recorder.h"
#include "engine/disk_device.h"
#include "engine/pause_gate.h"
#include "engine/write_digests.h"

#include <string>

namespace orvel {

// How a copy loop (or its sector pass) ended.
enum class CopyOutcome {
    Completed,  // the range was gone through; summary "Operation successfully completed."
    Cancelled,  // cancel exit; summary "Operation Cancelled."
    Stopped,    // cancelled before the first block; the log keeps its header only
    Failed,     // the destination refused preparation (header only) or a write,
                // or a device went away ("Operation failed.")
};

// Everything one copy run works on. The loops touch nothing else, so a test
// can hand them its own records.
struct CopyContext {
    DiskDevice& source;
    DiskDevice& destination;
    CopyJob& job;
    CopyObserver& observer;
    PauseGate& pauseGate;
    bool cloningShown = false;  // a clone dismounts or locks a destination volume; imaging does not
    std::string logPath;

    // Set by the worker for what follows the copy. With `digests` every write
    // is digested; `verifyAfter` keeps the destination open after a
    // completed copy, for the verification.
    WriteDigests* digests = nullptr;
    bool verifyAfter = false;
    // A restore: the source is an image file, whose read errors fail the
    // operation (they are never marked), and whose bytes must match the
    // SHA-256 of its checksum file when it has one.
    bool sourceIsImage = false;
    std::string expectedImageSha256 = {};
    // The run's rescue map, kept up to date as sectors are copied or marked.
    // A resumed run leaves a whole drive's partition table as it is (the
    // destination is still claimed) and copies only what the map has not
    // finished or marked.
    MapRecorder* map = nullptr;
    bool resuming = false;
};

} // namespace orvel
