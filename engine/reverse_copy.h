#pragma once

#include "engine/copy_context.h"

namespace orvel {

// Copies the source range to the destination from the top down: first the
// tail at the top of the range, then the full blocks from the highest to the
// lowest (each block's sectors still in ascending order), each block read
// while the one above it is written. The progress position counts from the
// top. Ends as runForwardCopy does.
CopyOutcome runReverseCopy(CopyContext& context);

} // namespace orvel
