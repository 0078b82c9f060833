#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvel {

// The job's position at one tick of the progress clock.
struct RateSample {
    std::int64_t seconds = 0;
    std::uint64_t positionBytes = 0;
};

// Bytes per second over the samples (oldest first). A position lower than
// the one before means the count started again (the verification begins at
// 0), so only the samples from there on count. Unknown until two samples of
// the same count lie at least a second apart; 0 while nothing moves.
std::optional<double> bytesPerSecond(std::span<const RateSample> samples);

// "12.34 MB/s" (MB of 1024 * 1024 bytes), or empty while the rate is unknown.
std::string speedText(std::optional<double> rate);

// "HH:MM:SS" until endBytes at the rate; empty while the rate is unknown or
// nothing moves, "reading bad sectors" while the worker re-reads failed
// blocks (its pace then says nothing about the rest).
std::string timeLeftText(std::optional<double> rate, std::uint64_t positionBytes, std::uint64_t endBytes,
                         bool readingBadSectors);

} // namespace orvel
