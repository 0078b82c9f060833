#pragma once

#include "engine/copy_context.h"

#include <cstdint>
#include <optional>

namespace orvel {

// What a resumed run's map says of a block: all of it still to copy, none
// of it (finished, or bad and marked), or some. Without a map, all of it.
enum class BlockState { Pending, Done, Mixed };

BlockState blockState(const CopyContext& context, std::uint64_t first, std::uint64_t count);

// The full block at `sector` when it lies in the loop's blocks (`inRange`)
// and is wholly to copy: a block the loops may read ahead.
std::optional<std::uint64_t> pendingBlock(const CopyContext& context, std::uint64_t sector, bool inRange);

// Copies the parts of sectors [first, first + count) that the map has
// neither finished nor marked bad, in the loop's direction: each part with
// one read and one write, or through the sector pass when its read fails.
// Finished parts are never read again. Returns Completed to let the loop go
// on; otherwise the run has ended as the sector pass or the write ended it.
CopyOutcome copyPendingParts(CopyContext& context, std::uint64_t first, std::uint64_t count, bool forward);

} // namespace orvel
