#pragma once

#include "engine/copy_job.h"
#include "engine/copy_observer.h"
#include "engine/disk_device.h"
#include "engine/pause_gate.h"

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
};

} // namespace orvel
