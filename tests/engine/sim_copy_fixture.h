#pragma once

#include "engine/copy_context.h"
#include "engine/copy_job.h"
#include "engine/disk_device.h"
#include "engine/pause_gate.h"
#include "platform/sim/sim_drive.h"
#include "platform/sim/sim_drive_setup.h"
#include "support/recording_observer.h"
#include "support/sim_platform_fixture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvel::test {

// The bytes a patterned source holds in one sector: its number in the first
// eight bytes, the rest a fill that changes from sector to sector.
std::vector<std::uint8_t> patternSector(std::uint64_t sector, std::uint32_t sectorSize);

// Writes the pattern of sectors [0, sectors) to a new file.
void writePatternFile(const std::string& path, std::uint64_t sectors, std::uint32_t sectorSize);

// Bytes [offset, offset + length) of a file; shorter at its end.
std::vector<std::uint8_t> fileBytes(const std::string& path, std::uint64_t offset, std::size_t length);

// The whole of a (small) text file.
std::string readTextFile(const std::string& path);

// How many times `part` occurs in `text`.
std::size_t occurrences(const std::string& text, const std::string& part);

// How a log ends when a device went away at `sector`.
std::string deviceLostEnding(std::uint64_t sector, std::uint64_t copied, std::uint64_t bad);

// A log's text after its header line with the time, which varies; a note
// saying so when the header is not there.
std::string afterTimeLine(const std::string& log);

// Wraps a device record's handle so that a test can act in the middle of a
// transfer (after the platform did it, before the loop sees the result).
struct TransferHooks {
    std::function<void(std::uint64_t offset, std::uint32_t bytes)> afterRead;
    std::function<void(std::uint64_t offset, std::uint32_t bytes)> afterWrite;
    std::function<void()> afterLayoutDeletion;
};
void hookHandle(DiskDevice& device, TransferHooks hooks);

// One copy run on simulated drives: drive 0 is the source, filled with the
// sector pattern; drive 1 the destination, or an image file.
class SimCopyTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Makes both drives and opens them as the cloning panel does.
    void makeDrives(SimDriveSetup sourceSetup, SimDriveSetup destinationSetup);
    // Makes the source drive and an image file as the imaging destination.
    void makeImaging(SimDriveSetup sourceSetup);
    // The job as the panels set it up for the source's range.
    void prepareJob();

    // Writes the header, then runs one loop on the fixture's records.
    CopyOutcome runForward();
    CopyOutcome runReverse();
    CopyContext context();

    std::string logText() const;
    // Reads of the source and writes to the destination, as [first, count) pairs in order.
    // Only what the run did counts, not the opening of the devices.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> sourceReads();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> destinationWrites();
    std::vector<SimEvent> destinationEvents();
    // The source reads were the blocks the loop took (`taken`, in its order),
    // then at most the reads ahead a loop may have begun before it stopped:
    // the first few of `ahead`, in order.
    ::testing::AssertionResult readsTakenThenAhead(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& taken,
                                                   const std::vector<std::pair<std::uint64_t, std::uint64_t>>& ahead);

    // Destination bytes of `count` sectors from `destinationSector`.
    std::vector<std::uint8_t> destinationBytes(std::uint64_t destinationSector, std::uint64_t count) const;
    // Whether destination sectors [destinationFirst, +count) hold the source's
    // pattern of [sourceFirst, +count), skipping the sectors listed in `except`.
    ::testing::AssertionResult holdsSource(std::uint64_t destinationFirst, std::uint64_t sourceFirst,
                                           std::uint64_t count, const std::vector<std::uint64_t>& except = {}) const;

    SimDrive& sourceDrive();
    SimDrive& destinationDrive();

    SimPlatformFixture sims;
    TempDir files;
    DiskDevice source;
    DiskDevice destination;
    CopyJob job;
    RecordingObserver observer;
    PauseGate gate;
    bool cloningShown = true;
    std::string logPath;
    std::string destinationPath;  // the file that holds the destination's bytes

private:
    CopyOutcome run(bool forward);

    std::size_t sourceEventsBefore_ = 0;
    std::size_t destinationEventsBefore_ = 0;
};

} // namespace orvel::test
