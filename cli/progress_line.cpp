#include "cli/progress_line.h"

#include <cstdio>

namespace orvel::cli {

std::string byteCountText(std::uint64_t bytes)
{
    static constexpr const char* kUnits[] = {"bytes", "KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
        value /= 1024.0;
        ++unit;
    }
    char text[48];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    else
        std::snprintf(text, sizeof text, "%.2f %s", value, kUnits[unit]);
    return text;
}

std::string progressLine(const ProgressSnapshot& snapshot)
{
    const std::uint64_t end = snapshot.endBytes;
    const std::uint64_t position = snapshot.positionBytes < end ? snapshot.positionBytes : end;
    const int percent = end == 0 ? 100 : static_cast<int>(static_cast<double>(position) / static_cast<double>(end) * 100.0);

    std::string line = (snapshot.verifying ? "verifying  " : "") + std::to_string(percent) + "%  " +
                       byteCountText(position) + " of " + byteCountText(end);

    const std::uint64_t moved = position > snapshot.startBytes ? position - snapshot.startBytes : 0;
    if (moved > 0 && snapshot.elapsedSeconds > 0) {
        const double rate = static_cast<double>(moved) / snapshot.elapsedSeconds;
        const auto secondsLeft = static_cast<std::uint64_t>(static_cast<double>(end - position) / rate);
        char text[64];
        if (snapshot.readingBadSectors)
            std::snprintf(text, sizeof text, "  %s/s  reading bad sectors",
                          byteCountText(static_cast<std::uint64_t>(rate)).c_str());
        else
            std::snprintf(text, sizeof text, "  %s/s  %llu:%02llu:%02llu left",
                          byteCountText(static_cast<std::uint64_t>(rate)).c_str(),
                          static_cast<unsigned long long>(secondsLeft / 3600),
                          static_cast<unsigned long long>(secondsLeft / 60 % 60),
                          static_cast<unsigned long long>(secondsLeft % 60));
        line += text;
    }
    if (snapshot.verifying)
        return line;
    line += "  " + std::to_string(snapshot.badSectors) + (snapshot.badSectors == 1 ? " bad sector" : " bad sectors");
    return line;
}

} // namespace orvel::cli
