#pragma once

#include "engine/copy_context.h"
#include "engine/copy_observer.h"
#include "engine/pause_gate.h"
#include "engine/rescue_map.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

namespace orvel {

inline constexpr std::string_view kOperationCompletedMessage = "Operation is completed.";
inline constexpr std::string_view kOperationFailedMessage = "Operation failed. See the log for details.";
inline constexpr std::string_view kVerificationFailedMessage = "Verification failed. See the log for details.";
inline constexpr std::string_view kRetryBadSectorsQuestion =
    "Operation is completed, with bad sectors.\nTry the bad sectors again?";
inline constexpr std::string_view kReopenFailedMessage =
    "The drives could not be opened again. Try the bad sectors again later with the rescue map.";

// The rescue map of a run. A first run maps its operation beside its log
// (NAME.map for NAME.log); a resumed run copies what the loaded map has not
// finished or marked, and a retry reads the map's bad sectors again; both
// save it back where it was loaded from.
struct MapSettings {
    enum class Run { None, First, Resume, RetryBad };
    Run run = Run::None;
    std::optional<RescueMap> map;  // First: the new map of the operation; else the loaded one
    std::string path;              // Resume and RetryBad: the map's file
};

// What the starter of an operation hands to the worker.
struct WorkerSettings {
    CopyObserver& observer;
    PauseGate& pauseGate;
    bool forwardCopy = true;    // false: the reverse loop
    bool cloningShown = false;  // a clone or restore (dismounts or locks a destination volume) rather than an imaging
    std::string logDirectory;   // absolute; normally SystemServices::logDirectory()
    bool verify = false;        // read the destination back after the copy and compare
    MapSettings map = {};
    // Where the devices open again: a run that leaves bad sectors then offers
    // to read them again at once. Null: no offer.
    DeviceAccess* access = nullptr;
};

// How an operation ended, read before the slots were released.
struct OperationResult {
    CopyOutcome outcome = CopyOutcome::Failed;
    std::uint64_t sectorsCopied = 0;
    std::uint64_t badSectors = 0;
    std::string logPath;  // empty when no log was written
    std::string mapPath;  // the rescue map's file; empty when the run kept none
};

// Runs the operation held in the process-wide slots on the calling thread:
// log header, the copy loop, then through the observer the progress clock
// stopped, the closing message (answered before it goes on), home, the log
// opened. Returns with the slots empty and both handles closed. With the
// slots not filled, nothing is copied or shown.
OperationResult copyThreadProc(const WorkerSettings& settings);

// Runs copyThreadProc on a thread of its own. The owner must outlive the
// observer's showHome call (destroying the worker waits for its thread, which
// is inside that call until it returns).
class CopyWorker {
public:
    explicit CopyWorker(WorkerSettings settings);
    CopyWorker(const CopyWorker&) = delete;
    CopyWorker& operator=(const CopyWorker&) = delete;
    ~CopyWorker();

    // The thread has done all its work (it may still be ending).
    bool finished() const;
    // Waits until the thread has done its work or `timeout` has passed;
    // whether it has. Wakes as soon as the work is done, not on a tick.
    bool waitFor(std::chrono::milliseconds timeout);
    // Waits for the thread to end and gives the operation's result.
    const OperationResult& wait();

private:
    WorkerSettings settings_;
    OperationResult result_;
    std::atomic<bool> finished_ = false;
    std::mutex mutex_;
    std::condition_variable done_;
    std::thread thread_;
};

} // namespace orvel
