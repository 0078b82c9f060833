#pragma once

#include "engine/copy_context.h"

#include <cstdint>

namespace orvel {

// Copies sectors [first, first + count) one at a time, after a block or tail
// read failed. A sector whose first read fails is logged and counted bad, read
// up to retryCount more times, and replaced on the destination by a marker if
// no attempt reads it. Returns Completed to let the loop go on; on Cancelled
// or Failed the handles are closed and the summary is written.
CopyOutcome sectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count);

// The reverse loop's pass: no check before each sector's first read, and a
// sector whose retries all fail gets the "**BAD SECTORS**" marker.
CopyOutcome reverseSectorPass(CopyContext& context, std::uint64_t first, std::uint64_t count);

} // namespace orvel
