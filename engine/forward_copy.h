#pragma once

#include "engine/copy_context.h"

namespace orvel {

// Copies the source range [startSector, endSector) to the destination from the
// lowest sector up: full 32 MiB blocks, then the tail. Each block after the
// first is read while the one before it is written. Serves forward cloning
// and imaging. Whatever it returns, both handles are closed when it does;
// the log gets its summary unless the run stopped before the first block.
CopyOutcome runForwardCopy(CopyContext& context);

} // namespace orvel
