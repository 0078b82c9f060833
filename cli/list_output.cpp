#include "cli/list_output.h"

#include "cli/health_json.h"
#include "cli/json_writer.h"
#include "cli/text_table.h"
#include "inventory/drive_text.h"

#include <vector>

namespace orvel::cli {

std::string parenthesisedSize(std::uint64_t sizeBytes)
{
    const std::string size = formatDriveSize(sizeBytes);
    return size.empty() ? size : "(" + size + ")";
}

std::string formatDriveListText(const DriveList& drives, const DriveList& volumeList)
{
    std::string out = "Physical drives\n";
    if (drives.empty()) {
        out += "  (none)\n";
    } else {
        std::vector<std::vector<std::string>> rows;
        for (const auto& drive : drives)
            rows.push_back({std::to_string(drive->diskIndex), drive->model, drive->serialNumber,
                            parenthesisedSize(drive->sizeBytes), formatTemperature(drive->temperatureC),
                            drive->interfaceType, drive->mediaType, drive->status});
        out += formatTable({{"Drive"}, {"Model"}, {"Serial No."}, {"Size", Align::Right}, {"Temperature", Align::Right},
                            {"Interface"}, {"Media type"}, {"Status"}},
                           rows);
    }

    out += "\nVolumes\n";
    if (volumeList.empty()) {
        out += "  (none)\n";
    } else {
        std::vector<std::vector<std::string>> rows;
        for (const auto& volume : volumeList)
            rows.push_back({volume->deviceName, volume->holdingDrive ? std::to_string(*volume->holdingDrive) : "?",
                            parenthesisedSize(volume->sizeBytes)});
        out += formatTable({{"Name"}, {"Drive"}, {"Size", Align::Right}}, rows);
    }
    return out;
}

std::string formatDriveListJson(const DriveList& drives, const DriveList& volumeList)
{
    JsonWriter json;
    json.beginObject();
    json.key("physicalDrives");
    json.beginArray();
    for (const auto& drive : drives) {
        json.beginObject();
        json.key("number");
        json.value(drive->diskIndex);
        json.key("caption");
        json.value(drive->caption);
        json.key("deviceName");
        json.value(drive->deviceName);
        json.key("model");
        json.value(drive->model);
        json.key("serialNumber");
        json.value(drive->serialNumber);
        json.key("sizeBytes");
        json.value(drive->sizeBytes);
        json.key("size");
        json.value(formatDriveSize(drive->sizeBytes));
        json.key("temperatureC");
        json.value(unlessZero(drive->temperatureC));
        json.key("temperature");
        json.value(formatTemperature(drive->temperatureC));
        json.key("interfaceType");
        json.value(drive->interfaceType);
        json.key("mediaType");
        json.value(drive->mediaType);
        json.key("status");
        json.value(drive->status);
        json.key("firmwareRevision");
        json.value(drive->firmwareRevision);
        json.key("healthData");
        writeHealthDataKind(json, *drive);
        json.key("nvme");
        writeNvmeHealth(json, *drive);
        json.endObject();
    }
    json.endArray();
    json.key("volumes");
    json.beginArray();
    for (const auto& volume : volumeList) {
        json.beginObject();
        json.key("name");
        json.value(volume->deviceName);
        json.key("caption");
        json.value(volume->caption);
        json.key("drive");
        json.value(volume->holdingDrive);
        json.key("sizeBytes");
        json.value(volume->sizeBytes);
        json.key("size");
        json.value(formatDriveSize(volume->sizeBytes));
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text();
}

} // namespace orvel::cli
