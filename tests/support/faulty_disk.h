#pragma once

#include "support/loop_device.h"
#include "support/temp_dir.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace orvel::test {

// What orvel-faulty-fs saw of the disk since it was mounted. Sector numbers
// are in the disk's own sector size.
struct FaultyDiskStats {
    std::uint64_t readRequests = 0;
    std::uint64_t readErrors = 0;
    std::uint64_t sectorsRead = 0;       // asked for, failed requests included
    std::uint64_t sectorsReadAgain = 0;  // asked for after an earlier request had them
    std::uint64_t writeRequests = 0;
    std::uint64_t writeErrors = 0;
    std::uint64_t sectorsWritten = 0;    // landed in the backing file
    // Read-failing sector -> how many read requests touched it (untouched ones are absent).
    std::map<std::uint64_t, std::uint64_t> failingSectorReads;
};

// A real kernel block device with sectors that cannot be read or written: a
// backing file served through orvel-faulty-fs (FUSE, no page cache) and
// attached as a loop device. Reads or writes through the device that touch a
// listed sector fail with EIO; everything else reaches the backing file.
// Everything it made (loop device, mount, serving process, files) goes with
// the object, also when the test fails. Create and destroy it on the test's
// own thread: the serving process ends with the thread that started it.
class FaultyDisk {
public:
    struct Options {
        std::uint64_t sizeBytes = 16ull << 20;
        std::uint32_t sectorSize = 512;             // 512 or 4096, for the loop device and the lists
        bool pattern = true;                        // deterministic bytes; false: a sparse file of zeros
        std::vector<std::uint64_t> failingReads;    // sector numbers
        std::vector<std::uint64_t> failingWrites;   // sector numbers
        std::vector<std::uint64_t> flippedReads;    // read back with their first byte inverted, without an error
        bool directIo = true;                       // the loop device's own direct I/O
        // Serve this existing file (left in place afterwards) instead of a new
        // one, so that one disk can come back with other faults.
        std::string backingFile;
    };

    // Why such a disk cannot be made here; empty when it can.
    static std::string unavailableReason();

    // Null with `error` set when the disk cannot be made; nothing is left behind.
    static std::unique_ptr<FaultyDisk> create(const Options& options, std::string& error);

    ~FaultyDisk();
    FaultyDisk(const FaultyDisk&) = delete;
    FaultyDisk& operator=(const FaultyDisk&) = delete;

    const std::string& path() const { return loop_->path(); }  // /dev/loopN
    const LoopDevice& loopDevice() const { return *loop_; }
    std::uint32_t sectorSize() const { return sectorSize_; }
    std::uint64_t sizeBytes() const { return sizeBytes_; }
    std::uint64_t sectorCount() const { return sizeBytes_ / sectorSize_; }

    // The disk as a regular file (the FUSE file the loop device is attached
    // to), with the same failing sectors.
    std::string servedFile() const { return mountPoint_ + "/disk.img"; }

    // The file that holds the disk's bytes: what a read returns, where a write lands.
    const std::string& backingFile() const { return backingFile_; }
    // `length` bytes of the backing file from `offset`; shorter at its end.
    std::vector<std::uint8_t> backingBytes(std::uint64_t offset, std::size_t length) const;

    // Null when the stats file cannot be read or understood.
    std::optional<FaultyDiskStats> stats() const;

    // The serving process's output (libfuse's messages), for failure reports.
    std::string serverLog() const;

private:
    FaultyDisk() = default;
    bool startServer(const Options& options, std::string& error);
    bool waitUntilMounted(std::string& error);
    void stopServer();

    std::unique_ptr<TempDir> folder_;
    std::string backingFile_;
    std::string mountPoint_;
    std::string logFile_;
    pid_t server_ = -1;
    std::unique_ptr<LoopDevice> loop_;
    std::uint32_t sectorSize_ = 512;
    std::uint64_t sizeBytes_ = 0;
};

// The bytes a patterned disk starts with at `offset`: every 8-byte word is a
// mix of its own position, so no two sectors of a disk are alike.
std::vector<std::uint8_t> faultyDiskPattern(std::uint64_t offset, std::size_t length);

} // namespace orvel::test
