#include "inventory/nvme_health_log.h"

#include "platform/little_endian.h"

namespace orvel {

namespace {

std::uint16_t word(const NvmeHealthPage& page, std::size_t offset)
{
    return readLittleEndian<std::uint16_t>(page, offset);
}

std::uint32_t doubleWord(const NvmeHealthPage& page, std::size_t offset)
{
    return readLittleEndian<std::uint32_t>(page, offset);
}

UInt128 counter(const NvmeHealthPage& page, std::size_t offset)
{
    return {readLittleEndian<std::uint64_t>(page, offset), readLittleEndian<std::uint64_t>(page, offset + 8)};
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
