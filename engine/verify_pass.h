#pragma once

#include "engine/copy_context.h"
#include "engine/region_digests.h"

#include <string_view>

namespace orvel {

inline constexpr std::string_view kVerificationPassedText = "Verification passed.";
inline constexpr std::string_view kVerificationFailedText = "Verification failed. Sector No.\t:\t";
inline constexpr std::string_view kVerificationCancelledText = "Verification cancelled.";

enum class VerifyOutcome { Passed, Failed, Cancelled };

// Reads back, after a completed copy, every destination byte the copy wrote
// and compares it with what was written, one block at a time through the
// destination's open (direct) handle. The source is not read again. The job
// shows the pass as its own phase and percentage; a cancel and the pause
// gate work as during the copy. Writes the result's line to the log (the
// first sector of the first region that differs, or of a read that failed)
// and closes the destination.
VerifyOutcome verifyDestination(CopyContext& context, RegionDigests& digests);

} // namespace orvel
