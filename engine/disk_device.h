#pragma once

#include "platform/aligned_buffer.h"
#include "platform/device_access.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvel {

enum class DeviceKind : std::uint32_t {
    NotOpened = 0,  // a handle put into the record directly
    PhysicalDrive = 1,
    Volume = 2,
    ImageFile = 3,  // an image being written or restored; the record's name is its path
};

// One open physical drive, volume or image file, with the range to copy and,
// on the source side, the copy loops' working state and counters.
struct DiskDevice {
    std::unique_ptr<DeviceHandle> handle;
    std::uint32_t sectorSize = 0;
    std::string name;
    std::uint64_t startSector = 0;
    std::uint64_t endSector = 0;
    std::uint32_t unitSize = 512;
    std::uint32_t lastError = 0;  // the system's code of the last failed transfer
    bool deviceLost = false;      // that failure was the device going away
    DeviceKind kind = DeviceKind::NotOpened;

    // Copy state, used on the source record only; on the destination record
    // sectorBuffer holds one destination sector when those are larger than
    // the source's.
    std::uint32_t chunkSectors = 0;
    std::uint32_t chunkBytes = 0;
    std::uint32_t transferBytes = 0;
    std::int32_t retryCount = 5;
    AlignedBuffer chunkBuffer;
    AlignedBuffer sectorBuffer;
    std::uint64_t currentSector = 0;
    std::uint64_t rangeStart = 0;
    std::uint64_t rangeEnd = 0;

    // Counters; the progress display reads them while the worker runs.
    std::atomic<std::uint64_t> sectorsCopied = 0;
    std::atomic<std::uint64_t> badSectors = 0;
};

// Opens the drive (a name starting with a digit) or volume (a name starting
// with a letter) and fills name, kind, handle, sectorSize and endSector.
// Any other name fails before the platform is asked. A failed capacity
// request leaves endSector 0 and the open still succeeds.
bool openDevice(DiskDevice& device, DeviceAccess& access, std::string_view name, OpenMode mode);

// Finds the sector size: the shortest direct read at offset 0 that succeeds.
bool probeSectorSize(DiskDevice& device, DeviceHandle& handle);

// Capacity in bytes of a drive or volume; false for any other kind of record.
bool queryLength(DiskDevice& device, std::uint64_t& lengthBytes);

// Whole-sector transfers at sector x the record's sectorSize, through any
// handle (the loops move data to the destination through the source record).
// A failure stores the system's code in lastError and whether the device is
// gone in deviceLost.
bool readSectors(DiskDevice& device, DeviceHandle* handle, std::uint64_t sector, void* buffer, std::uint32_t bytes);
bool writeSectors(DiskDevice& device, DeviceHandle* handle, const void* buffer, std::uint32_t bytes, std::uint64_t sector);
// Stores a failed transfer's code in lastError and deviceLost.
void noteFailure(DiskDevice& device, const IoResult& result);

} // namespace orvel
