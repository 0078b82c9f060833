#include "panels/transfer_rate.h"

#include "panels/progress_text.h"

#include <cmath>
#include <cstdio>

namespace orvel {

std::optional<double> bytesPerSecond(std::span<const RateSample> samples)
{
    if (samples.empty())
        return std::nullopt;
    std::size_t first = 0;
    for (std::size_t n = 1; n < samples.size(); ++n) {
        if (samples[n].positionBytes < samples[n - 1].positionBytes)
            first = n;
    }
    const RateSample& oldest = samples[first];
    const RateSample& newest = samples.back();
    if (newest.seconds <= oldest.seconds)
        return std::nullopt;
    return static_cast<double>(newest.positionBytes - oldest.positionBytes) /
           static_cast<double>(newest.seconds - oldest.seconds);
}

std::string speedText(std::optional<double> rate)
{
    if (!rate)
        return {};
    char text[48];
    std::snprintf(text, sizeof text, "%.2f MB/s", *rate / (1024.0 * 1024.0));
    return text;
}

std::string timeLeftText(std::optional<double> rate, std::uint64_t positionBytes, std::uint64_t endBytes,
                         bool readingBadSectors)
{
    if (readingBadSectors)
        return "reading bad sectors";
    if (!rate || *rate <= 0)
        return {};
    const std::uint64_t left = positionBytes < endBytes ? endBytes - positionBytes : 0;
    return elapsedText(static_cast<std::int64_t>(std::ceil(static_cast<double>(left) / *rate)));
}

} // namespace orvel
