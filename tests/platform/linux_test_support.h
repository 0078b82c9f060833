#pragma once

#include "platform/aligned_buffer.h"
#include "support/loop_device.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvel::test {

// Skips the calling test where loop devices cannot be made.
#define ORVEL_SKIP_WITHOUT_LOOP_DEVICES()                                            \
    do {                                                                             \
        if (const std::string reason = ::orvel::test::LoopDevice::unavailableReason(); \
            !reason.empty())                                                         \
            GTEST_SKIP() << "needs loop devices: " << reason;                        \
    } while (false)

// Options of a plain disk, and of one with a GPT holding partitions of these
// sizes (0: the rest of the disk).
inline LoopDevice::Options diskOptions(std::uint64_t sizeBytes, std::uint32_t sectorSize = 512, bool directIo = false)
{
    LoopDevice::Options options;
    options.sizeBytes = sizeBytes;
    options.sectorSize = sectorSize;
    options.directIo = directIo;
    return options;
}

inline LoopDevice::Options partitionedOptions(std::uint64_t sizeBytes, const std::vector<std::uint64_t>& sizesMiB,
                                              std::uint32_t sectorSize = 512)
{
    LoopDevice::Options options = diskOptions(sizeBytes, sectorSize);
    for (const std::uint64_t size : sizesMiB) {
        LoopDevice::Partition partition;
        partition.sizeMiB = size;
        options.partitions.push_back(partition);
    }
    return options;
}

// A loop device for the test; a failure to make it fails the test.
inline std::unique_ptr<LoopDevice> makeLoopDevice(const LoopDevice::Options& options)
{
    std::string error;
    std::unique_ptr<LoopDevice> device = LoopDevice::create(options, error);
    if (!device)
        ADD_FAILURE() << "cannot make a loop device: " << error;
    return device;
}

// Bytes that differ from one 512-byte block to the next, so that a transfer
// landing at the wrong offset shows.
inline AlignedBuffer patternBuffer(std::size_t bytes, std::uint64_t seed)
{
    AlignedBuffer buffer(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        buffer.data()[i] = static_cast<std::uint8_t>((seed * 131 + i / 512 * 7 + i) & 0xff);
    return buffer;
}

// Reads a loop device's backing file through the page cache, past the device.
std::vector<std::uint8_t> readBackingFile(const LoopDevice& device, std::uint64_t offset, std::size_t bytes);
void writeBackingFile(const LoopDevice& device, std::uint64_t offset, const std::vector<std::uint8_t>& bytes);

} // namespace orvel::test
