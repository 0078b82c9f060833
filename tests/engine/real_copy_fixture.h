#pragma once

#include "engine/copy_context.h"
#include "engine/copy_job.h"
#include "engine/disk_device.h"
#include "engine/pause_gate.h"
#include "platform/platform.h"
#include "support/loop_device.h"
#include "support/recording_observer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace orvel::test {

// Whether `length` bytes of two files agree, from their own offsets.
::testing::AssertionResult sameFileBytes(const std::string& actualPath, std::uint64_t actualOffset,
                                         const std::string& expectedPath, std::uint64_t expectedOffset,
                                         std::uint64_t length);

// Whether `length` bytes of a file from `offset` are all `fill`.
::testing::AssertionResult allBytesAre(const std::string& path, std::uint64_t offset, std::uint64_t length,
                                       std::uint8_t fill);

// Copies between real kernel block devices made by the test (loop devices,
// FUSE-backed faulty disks) through the machine's own platform.
class RealCopyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A loop device over a file that holds the sector pattern.
    std::unique_ptr<LoopDevice> patternDisk(std::uint64_t bytes, std::uint32_t sectorSize = 512);
    // A loop device of zeros, with partitions if asked for.
    std::unique_ptr<LoopDevice> blankDisk(LoopDevice::Options options);
    // A loop device whose every byte is `fill`, so that bytes a copy must not
    // touch differ from the zeros a wrong write could leave.
    std::unique_ptr<LoopDevice> filledDisk(std::uint64_t bytes, std::uint32_t sectorSize, std::uint8_t fill);

    // Opens a whole disk by its drive number, as the panels do.
    void openDrive(DiskDevice& device, std::uint64_t diskseq, OpenMode mode);
    void prepareJob();

    // Writes the header, then runs one loop on the fixture's records.
    CopyOutcome run(bool forward);
    std::string logText() const;

    TempDir files;
    std::unique_ptr<Platform> platform;
    DiskDevice source;
    DiskDevice destination;
    CopyJob job;
    RecordingObserver observer;
    PauseGate gate;
    bool cloningShown = true;
    std::string logPath;
};

} // namespace orvel::test
