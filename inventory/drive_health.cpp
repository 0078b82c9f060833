#include "inventory/drive_health.h"

#include "inventory/nvme_health_rows.h"
#include "inventory/smart_reader.h"

#include <optional>
#include <string>

namespace orvel {

namespace {

// The drive list's temperature has no place for 0 °C or below (0 means no
// reading), so a composite temperature there shows as no reading.
std::uint32_t listTemperature(std::uint16_t kelvin)
{
    const int celsius = celsiusOfKelvin(kelvin);
    return celsius > 0 ? static_cast<std::uint32_t>(celsius) : 0;
}

} // namespace

HealthData healthDataOf(const DriveInfo& drive)
{
    if (drive.nvmeHealth)
        return HealthData::Nvme;
    return drive.smartAttributes[0].attributeId != 0 ? HealthData::Ata : HealthData::None;
}

void ReadDriveHealth(SmartTransport& transport, std::uint64_t driveNumber, bool takeVerdict, DriveInfo& drive)
{
    if (const std::optional<NvmeHealthPage> page = transport.readNvmeHealthLog(driveNumber)) {
        drive.nvmeHealth = decodeNvmeHealthLog(*page);
        drive.temperatureC = listTemperature(drive.nvmeHealth->compositeKelvin);
        if (takeVerdict && drive.nvmeHealth->criticalWarning != 0)
            drive.status = kStatusPredFail;
        return;
    }
    const SmartVerdict verdict =
        ReadSmartData(transport, driveNumber, drive.smartAttributes, drive.temperatureC, takeVerdict);
    if (verdict == SmartVerdict::ThresholdExceeded)
        drive.status = kStatusPredFail;
}

} // namespace orvel
