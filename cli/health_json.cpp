#include "cli/health_json.h"

#include "inventory/drive_health.h"
#include "inventory/nvme_health_rows.h"

#include <optional>

namespace orvel::cli {

namespace {

// 0 K is how a drive says it has no reading.
std::optional<std::int64_t> celsius(std::uint16_t kelvin)
{
    if (kelvin == 0)
        return std::nullopt;
    return celsiusOfKelvin(kelvin);
}

void counter(JsonWriter& json, const char* name, UInt128 value)
{
    json.key(name);
    json.value(decimalText(value));
}

void number(JsonWriter& json, const char* name, std::uint64_t value)
{
    json.key(name);
    json.value(value);
}

} // namespace

void writeHealthDataKind(JsonWriter& json, const DriveInfo& drive)
{
    switch (healthDataOf(drive)) {
    case HealthData::Ata:
        json.value("ata");
        break;
    case HealthData::Nvme:
        json.value("nvme");
        break;
    case HealthData::None:
        json.null();
        break;
    }
}

void writeNvmeHealth(JsonWriter& json, const DriveInfo& drive)
{
    if (!drive.nvmeHealth) {
        json.null();
        return;
    }
    const NvmeHealthLog& log = *drive.nvmeHealth;
    json.beginObject();
    number(json, "criticalWarning", log.criticalWarning);
    json.key("compositeTemperatureC");
    json.value(celsius(log.compositeKelvin));
    number(json, "availableSpare", log.availableSpare);
    number(json, "availableSpareThreshold", log.availableSpareThreshold);
    number(json, "percentageUsed", log.percentageUsed);
    counter(json, "dataUnitsRead", log.dataUnitsRead);
    counter(json, "dataUnitsWritten", log.dataUnitsWritten);
    counter(json, "hostReadCommands", log.hostReadCommands);
    counter(json, "hostWriteCommands", log.hostWriteCommands);
    counter(json, "controllerBusyTimeMinutes", log.controllerBusyMinutes);
    counter(json, "powerCycles", log.powerCycles);
    counter(json, "powerOnHours", log.powerOnHours);
    counter(json, "unsafeShutdowns", log.unsafeShutdowns);
    counter(json, "mediaAndDataIntegrityErrors", log.mediaErrors);
    counter(json, "errorInformationLogEntries", log.errorLogEntries);
    number(json, "warningCompositeTemperatureTimeMinutes", log.warningTemperatureMinutes);
    number(json, "criticalCompositeTemperatureTimeMinutes", log.criticalTemperatureMinutes);
    json.key("temperatureSensorsC");
    json.beginArray();
    for (const std::uint16_t kelvin : log.sensorKelvin)
        json.value(celsius(kelvin));
    json.endArray();
    json.endObject();
}

} // namespace orvel::cli
