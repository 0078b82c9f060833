#pragma once

#include "inventory/attribute_rows.h"
#include "inventory/nvme_health_log.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

// The attribute pane's rows for an NVMe drive: one per field of its health
// log, in the page's order (they are not sorted by ID text as ATA rows are),
// each ID the field's byte offset in upper-case hexadecimal. A temperature
// sensor that reports 0 gets no row. Worst is empty on every row; only
// Available Spare has a threshold.
std::vector<AttributeRow> nvmeHealthRows(const NvmeHealthLog& log);

// A temperature the log reports in kelvin, in whole degrees Celsius.
int celsiusOfKelvin(std::uint16_t kelvin);

// The amount of data a Data Units counter stands for (units of 512,000
// bytes) in the largest of kB, MB, GB, TB and PB (powers of 1000) that gives
// at least 1, with one decimal ("54.8 TB"); "0 B" for none.
std::string formatDataUnits(UInt128 units);

} // namespace orvel
