#pragma once

#include "engine/copy_context.h"

#include <cstdint>
#include <string_view>

namespace orvel {

class BlockPipeline;

// Both loops move 32 MiB per block whatever the sector size.
inline constexpr std::uint32_t kBlockBytes = 32u * 1024 * 1024;

// The caption of the message boxes the engine shows itself.
inline constexpr std::string_view kEngineMessageCaption = "Orvel Disk Image";

inline constexpr std::string_view kImageReadErrorText = "Read error in the image file. Sector No.\t:\t";
inline constexpr std::string_view kImageChecksumMismatchText = "The image file does not match its checksum.";

inline constexpr std::string_view kDestinationInUseMessage =
    "The destination is in use by the system (swap, RAID, LVM or encryption). Nothing was written.";

// The range split into full blocks and a tail.
struct BlockPlan {
    std::uint64_t fullBlocks = 0;
    std::uint64_t tailSectors = 0;
};

// Bytes per source sector as the loops move them (a source that never found
// its sector size counts in 512-byte units; its range is empty anyway).
std::uint32_t copySectorBytes(const DiskDevice& source);

// Sets chunkSectors and chunkBytes for the source's sector size and splits
// [rangeStart, rangeEnd) into blocks and a tail.
BlockPlan planBlocks(DiskDevice& source);

// The run's buffers, allocated once: the block buffer (which also takes the
// tail), the sector pass's one-sector buffer and, for a destination with
// larger sectors than the source's, one destination sector for the writes
// that cover only part of one. False when memory is short.
bool allocateCopyBuffers(CopyContext& context, const BlockPlan& plan);

// Where a source sector lands on the destination.
std::uint64_t destinationSectorOf(const CopyContext& context, std::uint64_t sourceSector);

// Sets the job's progress position to a source sector's byte offset.
void setPosition(CopyContext& context, std::uint64_t sector);

// The cancel check: first waits while the operator is being asked, then says
// whether a cancel was asked for (or already answered).
bool cancelRequested(CopyContext& context);
// The cancel check of a loop that reads ahead: the reads ahead stop before
// the loop waits on a pause, so the disk rests while the operator is asked,
// and before it leaves on a cancel, so nothing is in flight at the exit.
bool cancelRequested(CopyContext& context, BlockPipeline& pipeline);

// Source sectors now on the destination: counted, and finished in the map.
void recordCopied(CopyContext& context, std::uint64_t firstSector, std::uint64_t count);
// A bad sector that a later read did read, its data now on the destination:
// finished in the map (it stays counted bad).
void recordRecovered(CopyContext& context, std::uint64_t sector);
// A bad sector whose marker is now on the destination.
void recordMarked(CopyContext& context, std::uint64_t sector);

// Writes `bytes` from `buffer` at a destination sector. Offsets use the
// source's sector size. On a destination with larger sectors, a sector the
// write covers only in part is read and written back whole, so the bytes
// around the write stay as they were. A failure (of that read too) is kept in
// the destination's lastError and deviceLost.
bool writeDestination(CopyContext& context, const void* buffer, std::uint32_t bytes, std::uint64_t destinationSector);

// Readies the destination: a drive loses its partition table, a volume being
// cloned onto is dismounted or else locked, and either is claimed for this
// program until its handle closes. On refusal shows "Access denied." (a
// mounted file system) or that the system holds the destination, and
// returns false with nothing written.
bool prepareDestination(CopyContext& context);

// The ends of a run. Each closes both handles and releases the run's buffers.
// Cancel exit: state Cancelled, summary "Operation Cancelled.".
CopyOutcome cancelExit(CopyContext& context);
// Quiet stop: no summary; returns `outcome` (a cancel before the first block
// also sets the state to Cancelled).
CopyOutcome quietStop(CopyContext& context, CopyOutcome outcome);
// A write the destination refused: its sector is logged (as a lost device
// when the destination went away), summary "Operation failed.".
CopyOutcome writeFailureExit(CopyContext& context, std::uint64_t destinationSector);
// The source went away: the sector in work is logged, summary "Operation
// failed.". Nothing more can be read, so no sector is marked bad for it.
CopyOutcome deviceLostExit(CopyContext& context, std::uint64_t sourceSector);
// A restore's image file could not be read: its sector is logged, summary
// "Operation failed.". Nothing is marked on the destination for it.
CopyOutcome imageReadFailureExit(CopyContext& context, std::uint64_t sourceSector);
// The range is done: flushes the destination, moves the position to the end,
// stops the progress clock and writes "Operation successfully completed.".
// A flush the destination refuses, or a restore's image that does not match
// its checksum, ends as a failure instead. The destination stays open when
// a verification follows.
CopyOutcome finishCopy(CopyContext& context);

} // namespace orvel
