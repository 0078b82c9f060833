#pragma once

#include "support/temp_dir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvel::test {

// A loop device made for one test: attached on creation, detached (only this
// one, only while it is still backed by our file) and its files removed when
// the object goes, also when the test fails.
class LoopDevice {
public:
    struct Partition {
        std::uint64_t sizeMiB = 0;  // 0: the rest of the disk
        std::string type = "L";     // sfdisk's type shortcut or GUID
    };

    struct Options {
        std::uint64_t sizeBytes = 64ull << 20;  // of the sparse backing file we make
        std::string backingFile;                // attach this file instead of making one
        std::uint32_t sectorSize = 512;         // logical sector size: 512 or 4096
        bool directIo = false;
        bool partitionScan = false;             // implied by a partition table
        std::string label = "gpt";              // "gpt" or "dos"
        std::vector<Partition> partitions;      // none: no partition table is written
    };

    // Why loop devices cannot be made here; empty when they can.
    static std::string unavailableReason();

    // Null with `error` set when the device cannot be made; nothing is left behind.
    static std::unique_ptr<LoopDevice> create(const Options& options, std::string& error);

    ~LoopDevice();
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;

    const std::string& path() const { return path_; }              // /dev/loopN
    const std::string& kernelName() const { return kernelName_; }  // loopN
    std::uint64_t diskseq() const { return diskseq_; }
    const std::string& backingFile() const { return backingFile_; }
    std::uint32_t sectorSize() const { return sectorSize_; }

    // Kernel names of the partitions in table order (loopNp1, loopNp2, ...).
    const std::vector<std::string>& partitionNames() const { return partitionNames_; }
    std::string partitionPath(std::size_t index) const { return "/dev/" + partitionNames_.at(index); }

private:
    LoopDevice() = default;
    bool writePartitionTable(const Options& options, std::string& error);
    bool collectPartitions(std::size_t expected, std::string& error);

    std::unique_ptr<TempDir> folder_;  // holds the backing file we made
    std::string backingFile_;
    std::string path_;
    std::string kernelName_;
    std::uint64_t diskseq_ = 0;
    std::uint32_t sectorSize_ = 512;
    std::vector<std::string> partitionNames_;
};

// Reads a one-line sysfs attribute; empty when it cannot be read.
std::string readSysfsLine(const std::string& path);

} // namespace orvel::test
