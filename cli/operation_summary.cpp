#include "cli/operation_summary.h"

#include "inventory/drive_text.h"

namespace orvel::cli {

namespace {

std::string sizeText(std::uint64_t sizeBytes)
{
    if (sizeBytes == 0)
        return "size unknown";
    const std::string size = formatDriveSize(sizeBytes);
    return size.empty() ? std::to_string(sizeBytes) + " bytes" : size;
}

// "sector 7" or "sectors 7 to 9"; the count is at least 1 and the sum fits,
// both numbers being below 2^63.
std::string sectorSpan(std::uint64_t start, std::uint64_t count)
{
    if (count == 1)
        return "sector " + std::to_string(start);
    return "sectors " + std::to_string(start) + " to " + std::to_string(start + count - 1);
}

std::string sectorsLine(const OperationPlan& plan)
{
    switch (plan.mode) {
    case AreaMode::Range:
        return "source " + sectorSpan(plan.sourceStart, plan.count) + " onto destination "
            + sectorSpan(plan.destinationStart, plan.count) + " (" + std::to_string(plan.count)
            + (plan.count == 1 ? " sector" : " sectors") + "), first to last";
    case AreaMode::Reverse:
        return "the whole source, from its last sector down to its first";
    case AreaMode::WholeArea:
        break;
    }
    return "the whole source, from its first sector to its last";
}

} // namespace

std::string describeEntry(const DriveInfo& entry, const std::string& typed)
{
    if (!entry.isPhysical) {
        std::string text = "volume " + entry.deviceName;
        if (entry.holdingDrive)
            text += " on drive " + std::to_string(*entry.holdingDrive);
        return text + ", " + sizeText(entry.sizeBytes);
    }
    std::string text = "drive " + std::to_string(entry.diskIndex);
    if (typed.starts_with("/"))
        text += " (" + typed + ")";
    return text + ": " + (entry.model.empty() ? entry.caption : entry.model) + ", " + sizeText(entry.sizeBytes);
}

std::string describeImageFile(const std::string& path, bool replaced)
{
    return "image file " + path + (replaced ? ", which exists and will be replaced" : " (a new file)");
}

std::string describeImageSource(const std::string& path, std::uint64_t sizeBytes)
{
    return "image file " + path + ", " + sizeText(sizeBytes);
}

std::string operationSummary(const OperationPlan& plan)
{
    std::string text = "Source:      " + plan.source + "\nDestination: " + plan.destination + "\n";
    if (plan.destinationIsDrive)
        text += "             Its partition table will be erased first.\n";
    return text + "Sectors:     " + sectorsLine(plan) + "\n";
}

} // namespace orvel::cli
