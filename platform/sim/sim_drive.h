#pragma once

#include "platform/device_access.h"
#include "platform/sim/sim_backing_file.h"
#include "platform/sim/sim_drive_setup.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

namespace orvel {

enum class SimEventKind { Read, Write, Flush, LayoutDeletion };

// One thing that reached the drive, in the drive's own sectors.
struct SimEvent {
    SimEventKind kind = SimEventKind::Read;
    std::uint64_t firstSector = 0;
    std::uint64_t sectorCount = 0;
    bool ok = false;
};

// The live state of one virtual drive, shared by every handle opened on it
// (the drive itself and its volumes) and safe to use from several threads.
// Offsets here are byte offsets on the whole drive, already checked against
// the direct-I/O rules and the drive's end by the handle.
class SimDrive {
public:
    SimDrive(SimDriveSetup setup, std::filesystem::path backingPath);

    const SimDriveSetup& setup() const { return setup_; }
    const std::filesystem::path& backingPath() const { return backingPath_; }

    // Makes the backing file on first use (a sparse file of the drive's size
    // unless the drive has an image). False when the drive is gone or its
    // file cannot be had.
    bool open();
    bool isPresent() const;

    IoResult read(std::uint64_t offset, void* buffer, std::uint32_t bytes);
    IoResult write(std::uint64_t offset, const void* buffer, std::uint32_t bytes);
    IoResult flush();
    bool answersLengthQuery() const;

    // Zeroes the partition tables at both ends (MBR, primary and backup GPT);
    // refused while one of the drive's volumes is mounted.
    bool deleteLayout();
    bool dismountVolume(std::size_t volume);
    bool lockVolume(std::size_t volume);

    // For tests: what reached the drive, and a way to pull it out.
    std::uint64_t readCount(std::uint64_t sector) const;
    std::uint64_t transferCount() const;
    std::vector<SimEvent> events() const;
    bool isVolumeMounted(std::size_t volume) const;
    void disappear();

private:
    // Counts one transfer; false when the drive has just gone (or was gone).
    bool countTransfer();
    bool readFails(std::uint64_t firstSector, std::uint64_t sectorCount);
    bool zeroBytes(std::uint64_t offset, std::uint64_t bytes);

    const SimDriveSetup setup_;
    const std::filesystem::path backingPath_;
    mutable std::mutex mutex_;
    SimBackingFile file_;
    bool gone_ = false;
    std::uint64_t transfers_ = 0;
    std::vector<SimEvent> events_;
    std::map<std::uint64_t, std::uint32_t> flakyReads_;  // sector -> reads so far
    std::vector<bool> mounted_;
};

} // namespace orvel
