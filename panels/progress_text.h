#pragma once

#include <cstdint>
#include <string>

namespace orvel {

// The percentage the progress window shows for a job's position: truncated
// toward zero, at most 100. A job with nothing to copy (endBytes 0) is 100 %.
int progressPercent(std::uint64_t positionBytes, std::uint64_t endBytes);

// An elapsed time as "HH:MM:SS". Hours keep counting past a day (a large
// clone can run longer), so 25 hours and 3 minutes are "25:03:00".
std::string elapsedText(std::int64_t seconds);

} // namespace orvel
