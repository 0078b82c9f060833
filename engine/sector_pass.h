#pragma once

#include "engine/copy_context.h"

#include <cstdint>

namespace orvel {

// The pass reads a failed block again in pieces of this size, so that healthy
// sectors still move in large transfers; only a piece that fails is read
// sector by sector. One level of pieces between the block and its sectors
// means a sector that never reads costs one failed read more than a pass of
// single sectors would: on a failing disk each failed read may take seconds
// and strains the disk, so the pieces do not halve any further. 128 KiB
// keeps the reads of a block with one bad sector fewest (256 pieces and 256
// sectors).
inline constexpr std::uint32_t kPieceBytes = 128u * 1024;

// A failed read shorter than this many pieces goes sector by sector at once:
// its pieces would save few reads and cost each bad sector a failed read.
inline constexpr std::uint32_t kFewestPieces = 4;

// Copies sectors [first, first + count) after a block or tail read failed:
// in pieces, then one sector at a time within a piece that fails to read. A
// sector whose first read on its own fails is logged and counted bad, read up
// to retryCount more times, and replaced on the destination by a marker if no
// attempt reads it. Returns Completed to let the loop go on; on Cancelled or
// Failed the handles are closed and the summary is written.
CopyOutcome sectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count);

// The reverse loop's pass: no check before each read, and a sector whose
// retries all fail gets the "**BAD SECTORS**" marker.
CopyOutcome reverseSectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count);

} // namespace orvel
