#pragma once

#include "engine/copy_context.h"

#include <string_view>

namespace orvel {

inline constexpr std::string_view kRecoveredSectorText = "Bad sector recovered. Sector No.\t:\t";

// Reads again only the sectors the run's map marks bad, each up to
// retryCount more times after its first read. A sector that now reads is
// written over its marker on the destination, finished in the map and
// logged as recovered (it counts as copied); one that still does not read
// is logged again as a bad sector (it counts as bad) and keeps its marker.
// The destination's partition table is left as it is. Ends like a copy loop:
// cancelled, failed (a write, a lost device) or completed with the flush.
CopyOutcome runRetryBad(CopyContext& context);

} // namespace orvel
