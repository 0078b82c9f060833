#include "cli/health_output.h"

#include "cli/json_writer.h"
#include "cli/text_table.h"
#include "inventory/attribute_rows.h"
#include "inventory/drive_text.h"

#include <vector>

namespace orvel::cli {

std::string formatHealthText(const DriveInfo& drive)
{
    std::string out = "Drive " + std::to_string(drive.diskIndex) + ": " + drive.model + "\n";
    if (!drive.serialNumber.empty())
        out += "Serial No.: " + drive.serialNumber + "\n";
    out += "Temperature: " + formatTemperature(drive.temperatureC) + "\n\n";

    const std::vector<const SmartAttributeSlot*> attributes = attributesInListOrder(drive.smartAttributes);
    if (attributes.empty()) {
        out += "No S.M.A.R.T. attributes: the drive did not answer, or it is on USB.\n";
        return out;
    }
    std::vector<std::vector<std::string>> rows;
    for (const SmartAttributeSlot* slot : attributes) {
        AttributeRow row = formatAttributeRow(*slot);
        rows.push_back({row.id, row.name, row.current, row.worst, row.threshold, row.raw});
    }
    out += formatTable({{"ID"},
                        {"Attribute Name"},
                        {"Current Value", Align::Right},
                        {"Worst", Align::Right},
                        {"Threshold", Align::Right},
                        {"Raw Data", Align::Right}},
                       rows);
    return out;
}

std::string formatHealthJson(const DriveInfo& drive)
{
    JsonWriter json;
    json.beginObject();
    json.key("number");
    json.value(drive.diskIndex);
    json.key("model");
    json.value(drive.model);
    json.key("serialNumber");
    json.value(drive.serialNumber);
    json.key("temperatureC");
    json.value(unlessZero(drive.temperatureC));
    json.key("temperature");
    json.value(formatTemperature(drive.temperatureC));
    json.key("attributes");
    json.beginArray();
    for (const SmartAttributeSlot* slot : attributesInListOrder(drive.smartAttributes)) {
        const AttributeRow row = formatAttributeRow(*slot);
        json.beginObject();
        json.key("id");
        json.value(row.id);
        json.key("name");
        json.value(row.name);
        json.key("current");
        json.value(std::uint64_t{slot->currentValue});
        json.key("worst");
        json.value(std::uint64_t{slot->worstValue});
        json.key("threshold");
        json.value(std::uint64_t{slot->threshold});
        json.key("raw");
        json.value(row.raw);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text();
}

} // namespace orvel::cli
