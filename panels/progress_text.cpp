#include "panels/progress_text.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

namespace orvel {

int progressPercent(std::uint64_t positionBytes, std::uint64_t endBytes)
{
    if (endBytes == 0)
        return 100;
    const double percent = static_cast<double>(positionBytes) / static_cast<double>(endBytes) * 100.0;
    return static_cast<int>(std::min(percent, 100.0));
}

std::string elapsedText(std::int64_t seconds)
{
    // A clock set back while the operation runs gives no negative time.
    seconds = std::max<std::int64_t>(seconds, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

} // namespace orvel
