#include "inventory/nvme_health_log.h"

namespace orvel {

namespace {

std::uint64_t littleEndian(const NvmeHealthPage& page, std::size_t offset, std::size_t bytes)
{
    std::uint64_t value = 0;
    for (std::size_t at = bytes; at-- > 0;)
        value = (value << 8) | page[offset + at];
    return value;
}

std::uint16_t word(const NvmeHealthPage& page, std::size_t offset)
{
    return static_cast<std::uint16_t>(littleEndian(page, offset, 2));
}

std::uint32_t doubleWord(const NvmeHealthPage& page, std::size_t offset)
{
    return static_cast<std::uint32_t>(littleEndian(page, offset, 4));
}

UInt128 counter(const NvmeHealthPage& page, std::size_t offset)
{
    return {littleEndian(page, offset, 8), littleEndian(page, offset + 8, 8)};
}

} // namespace

NvmeHealthLog decodeNvmeHealthLog(const NvmeHealthPage& page)
{
    using namespace nvme_offset;
    NvmeHealthLog log;
    log.criticalWarning = page[kCriticalWarning];
    log.compositeKelvin = word(page, kCompositeTemperature);
    log.availableSpare = page[kAvailableSpare];
    log.availableSpareThreshold = page[kAvailableSpareThreshold];
    log.percentageUsed = page[kPercentageUsed];
    log.dataUnitsRead = counter(page, kDataUnitsRead);
    log.dataUnitsWritten = counter(page, kDataUnitsWritten);
    log.hostReadCommands = counter(page, kHostReadCommands);
    log.hostWriteCommands = counter(page, kHostWriteCommands);
    log.controllerBusyMinutes = counter(page, kControllerBusyTime);
    log.powerCycles = counter(page, kPowerCycles);
    log.powerOnHours = counter(page, kPowerOnHours);
    log.unsafeShutdowns = counter(page, kUnsafeShutdowns);
    log.mediaErrors = counter(page, kMediaErrors);
    log.errorLogEntries = counter(page, kErrorLogEntries);
    log.warningTemperatureMinutes = doubleWord(page, kWarningTemperatureTime);
    log.criticalTemperatureMinutes = doubleWord(page, kCriticalTemperatureTime);
    for (std::size_t sensor = 0; sensor < log.sensorKelvin.size(); ++sensor)
        log.sensorKelvin[sensor] = word(page, kFirstTemperatureSensor + 2 * sensor);
    return log;
}

} // namespace orvel
