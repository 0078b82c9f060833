#include "cli/health_output.h"

#include "cli/health_json.h"
#include "cli/json_writer.h"
#include "cli/text_table.h"
#include "inventory/attribute_rows.h"
#include "inventory/drive_text.h"
#include "inventory/nvme_health_rows.h"

#include <vector>

namespace orvel::cli {

namespace {

// The rows the attribute pane shows for the drive, in its order.
std::vector<AttributeRow> paneRows(const DriveInfo& drive)
{
    if (drive.nvmeHealth)
        return nvmeHealthRows(*drive.nvmeHealth);
    std::vector<AttributeRow> rows;
    for (const SmartAttributeSlot* slot : attributesInListOrder(drive.smartAttributes))
        rows.push_back(formatAttributeRow(*slot));
    return rows;
}

} // namespace

std::string formatHealthText(const DriveInfo& drive)
{
    std::string out = "Drive " + std::to_string(drive.diskIndex) + ": " + drive.model + "\n";
    if (!drive.serialNumber.empty())
        out += "Serial No.: " + drive.serialNumber + "\n";
    if (!drive.firmwareRevision.empty())
        out += "Firmware: " + drive.firmwareRevision + "\n";
    out += "Temperature: " + formatTemperature(drive.temperatureC) + "\n";
    if (!drive.status.empty())
        out += "Status: " + drive.status + "\n";
    out += "\n";

    const std::vector<AttributeRow> attributes = paneRows(drive);
    if (attributes.empty()) {
        out += "No S.M.A.R.T. attributes: the drive did not answer, or it is on USB.\n";
        return out;
    }
    std::vector<std::vector<std::string>> rows;
    for (const AttributeRow& row : attributes)
        rows.push_back({row.id, row.name, row.current, row.worst, row.threshold, row.raw});
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
    json.key("firmwareRevision");
    json.value(drive.firmwareRevision);
    json.key("status");
    json.value(drive.status);
    json.key("temperatureC");
    json.value(unlessZero(drive.temperatureC));
    json.key("temperature");
    json.value(formatTemperature(drive.temperatureC));
    json.key("healthData");
    writeHealthDataKind(json, drive);
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
    json.key("nvme");
    writeNvmeHealth(json, drive);
    json.endObject();
    return json.text();
}

} // namespace orvel::cli
