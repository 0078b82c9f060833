#include "inventory/nvme_health_rows.h"

#include <array>
#include <cstddef>
#include <cstdio>

namespace orvel {

namespace {

constexpr int kZeroCelsiusInKelvin = 273;
constexpr double kBytesPerDataUnit = 512000.0;
constexpr std::array<const char*, 5> kDecimalUnits = {"kB", "MB", "GB", "TB", "PB"};

std::string hexId(std::size_t offset)
{
    char id[8];
    std::snprintf(id, sizeof id, "%zX", offset);
    return id;
}

std::string temperatureText(std::uint16_t kelvin)
{
    return std::to_string(celsiusOfKelvin(kelvin)) + " \u00B0C";
}

std::string percentText(std::uint8_t percent)
{
    return std::to_string(percent) + " %";
}

AttributeRow row(std::size_t offset, const char* name, std::string current, std::string raw)
{
    AttributeRow shown;
    shown.id = hexId(offset);
    shown.name = name;
    shown.current = std::move(current);
    shown.raw = std::move(raw);
    return shown;
}

AttributeRow counterRow(std::size_t offset, const char* name, UInt128 counter, const char* unit = nullptr)
{
    const std::string count = decimalText(counter);
    return row(offset, name, unit ? count + " " + unit : count, count);
}

} // namespace

int celsiusOfKelvin(std::uint16_t kelvin)
{
    return static_cast<int>(kelvin) - kZeroCelsiusInKelvin;
}

std::string formatDataUnits(UInt128 units)
{
    if (units == UInt128{})
        return "0 B";
    // A data unit is 512 kB, so the smallest unit always gives at least 1.
    double amount = toDouble(units) * kBytesPerDataUnit / 1000.0;
    std::size_t unit = 0;
    while (unit + 1 < kDecimalUnits.size() && amount / 1000.0 >= 1.0) {
        amount /= 1000.0;
        ++unit;
    }
    char text[400];
    std::snprintf(text, sizeof text, "%.1f %s", amount, kDecimalUnits[unit]);
    return text;
}

std::vector<AttributeRow> nvmeHealthRows(const NvmeHealthLog& log)
{
    using namespace nvme_offset;
    std::vector<AttributeRow> rows;

    char warning[8];
    std::snprintf(warning, sizeof warning, "0x%02X", static_cast<unsigned>(log.criticalWarning));
    rows.push_back(row(kCriticalWarning, "Critical Warning", warning, std::to_string(log.criticalWarning)));
    rows.push_back(row(kCompositeTemperature, "Composite Temperature", temperatureText(log.compositeKelvin),
                       std::to_string(log.compositeKelvin)));
    AttributeRow spare = row(kAvailableSpare, "Available Spare", percentText(log.availableSpare),
                             std::to_string(log.availableSpare));
    spare.threshold = percentText(log.availableSpareThreshold);
    rows.push_back(std::move(spare));
    rows.push_back(row(kPercentageUsed, "Percentage Used", percentText(log.percentageUsed),
                       std::to_string(log.percentageUsed)));
    rows.push_back(row(kDataUnitsRead, "Data Units Read", formatDataUnits(log.dataUnitsRead),
                       decimalText(log.dataUnitsRead)));
    rows.push_back(row(kDataUnitsWritten, "Data Units Written", formatDataUnits(log.dataUnitsWritten),
                       decimalText(log.dataUnitsWritten)));
    rows.push_back(counterRow(kHostReadCommands, "Host Read Commands", log.hostReadCommands));
    rows.push_back(counterRow(kHostWriteCommands, "Host Write Commands", log.hostWriteCommands));
    rows.push_back(counterRow(kControllerBusyTime, "Controller Busy Time", log.controllerBusyMinutes, "min"));
    rows.push_back(counterRow(kPowerCycles, "Power Cycles", log.powerCycles));
    rows.push_back(counterRow(kPowerOnHours, "Power On Hours", log.powerOnHours, "h"));
    rows.push_back(counterRow(kUnsafeShutdowns, "Unsafe Shutdowns", log.unsafeShutdowns));
    rows.push_back(counterRow(kMediaErrors, "Media and Data Integrity Errors", log.mediaErrors));
    rows.push_back(counterRow(kErrorLogEntries, "Error Information Log Entries", log.errorLogEntries));
    rows.push_back(row(kWarningTemperatureTime, "Warning Composite Temperature Time",
                       std::to_string(log.warningTemperatureMinutes) + " min",
                       std::to_string(log.warningTemperatureMinutes)));
    rows.push_back(row(kCriticalTemperatureTime, "Critical Composite Temperature Time",
                       std::to_string(log.criticalTemperatureMinutes) + " min",
                       std::to_string(log.criticalTemperatureMinutes)));
    for (std::size_t sensor = 0; sensor < log.sensorKelvin.size(); ++sensor) {
        const std::uint16_t kelvin = log.sensorKelvin[sensor];
        if (kelvin == 0)
            continue;
        const std::string name = "Temperature Sensor " + std::to_string(sensor + 1);
        rows.push_back(row(kFirstTemperatureSensor + 2 * sensor, name.c_str(), temperatureText(kelvin),
                           std::to_string(kelvin)));
    }
    return rows;
}

} // namespace orvel
