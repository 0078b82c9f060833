// The decoding of an NVMe SMART / Health Information log page into the
// attribute pane's rows. Input: the page; what a short input leaves out
// stays zero, and bytes past 512 are ignored.
#include "fuzz/fuzz_check.h"
#include "inventory/nvme_health_log.h"
#include "inventory/nvme_health_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using orvel::fuzz::require;

namespace {

using Wide = unsigned __int128;

constexpr std::size_t kCounterOffsets[] = {0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0};
constexpr std::size_t kFirstSensor = 0xC8;
constexpr std::size_t kSensors = 8;

Wide littleEndian(const orvel::NvmeHealthPage& page, std::size_t offset, std::size_t bytes)
{
    Wide value = 0;
    for (std::size_t at = bytes; at-- > 0;)
        value = (value << 8) | page[offset + at];
    return value;
}

bool isDecimal(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })
        && (text.size() == 1 || text.front() != '0');
}

// The number a decimal text names, wrapping past 2^128 (which a text that
// round-trips never does).
Wide decimalValue(const std::string& text)
{
    Wide value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<unsigned>(c - '0');
    return value;
}

std::string hexOffset(std::size_t offset)
{
    static const char* const kDigits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[offset % 16]);
        offset /= 16;
    } while (offset != 0);
    return text;
}

std::string celsiusText(Wide kelvin)
{
    return std::to_string(static_cast<int>(kelvin) - 273) + " \u00B0C";
}

void checkDataUnits(const orvel::AttributeRow& row, Wide units)
{
    require(isDecimal(row.raw) && decimalValue(row.raw) == units, "a data units row's raw data is its counter");
    if (units == 0) {
        require(row.current == "0 B", "no data units show as 0 B");
        return;
    }
    const std::size_t blank = row.current.find(' ');
    require(blank != std::string::npos, "an amount has a number and a unit");
    const std::string number = row.current.substr(0, blank);
    const std::string unit = row.current.substr(blank + 1);
    require(unit == "kB" || unit == "MB" || unit == "GB" || unit == "TB" || unit == "PB", "a known decimal unit");
    const std::size_t point = number.find('.');
    require(point != std::string::npos && point + 2 == number.size() && isDecimal(number.substr(0, point)),
            "the amount has one decimal");
    const double amount = std::strtod(number.c_str(), nullptr);
    require(amount >= 1.0, "the unit is the largest that gives at least 1");
    require(unit == "PB" || amount <= 1000.0, "below PB, the amount stays within its unit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    // The page alone in a heap allocation of its exact size: a read past its
    // 512 bytes is a heap overflow that AddressSanitizer reports.
    const auto page = std::make_unique<NvmeHealthPage>();
    std::copy_n(input, std::min(size, page->size()), page->begin());

    const std::vector<AttributeRow> rows = nvmeHealthRows(decodeNvmeHealthLog(*page));

    std::vector<std::size_t> offsets = {0x00, 0x01, 0x03, 0x05};
    offsets.insert(offsets.end(), std::begin(kCounterOffsets), std::end(kCounterOffsets));
    offsets.push_back(0xC0);
    offsets.push_back(0xC4);
    for (std::size_t sensor = 0; sensor < kSensors; ++sensor)
        if (littleEndian(*page, kFirstSensor + 2 * sensor, 2) != 0)
            offsets.push_back(kFirstSensor + 2 * sensor);
    require(rows.size() == offsets.size(), "one row per field, and per sensor that reports");

    for (std::size_t index = 0; index < rows.size(); ++index) {
        const AttributeRow& row = rows[index];
        const std::size_t offset = offsets[index];
        require(row.id == hexOffset(offset), "a row's ID is its field's offset in upper-case hexadecimal, in order");
        require(row.worst.empty(), "Worst is empty");
        require(row.threshold.empty() == (offset != 0x03), "only Available Spare has a threshold");
        require(!row.name.empty(), "every row is named");

        if (offset == 0x01 || offset >= kFirstSensor) {
            const Wide kelvin = littleEndian(*page, offset, 2);
            require(row.current == celsiusText(kelvin) && row.raw == std::to_string(static_cast<unsigned>(kelvin)),
                    "a temperature is kelvin less 273 in degrees Celsius, with the kelvin as raw data");
        } else if (offset == 0x00 || offset == 0x03 || offset == 0x05) {
            require(row.raw == std::to_string((*page)[offset]), "a byte field's raw data is the byte");
        } else if (offset == 0xC0 || offset == 0xC4) {
            const Wide minutes = littleEndian(*page, offset, 4);
            require(isDecimal(row.raw) && decimalValue(row.raw) == minutes && row.current == row.raw + " min",
                    "a temperature time is its 32-bit count of minutes");
        } else if (offset == 0x20 || offset == 0x30) {
            checkDataUnits(row, littleEndian(*page, offset, 16));
        } else {
            const Wide count = littleEndian(*page, offset, 16);
            require(isDecimal(row.raw) && decimalValue(row.raw) == count && row.raw.size() <= 39,
                    "a counter is all 128 bits in decimal");
            require(row.current.starts_with(row.raw), "the value shows the whole counter");
        }
    }
    char warning[8];
    std::snprintf(warning, sizeof warning, "0x%02X", static_cast<unsigned>((*page)[0]));
    require(rows[0].current == warning, "the critical warning is two upper-case hexadecimal digits");
    require(rows[2].current == std::to_string((*page)[3]) + " %" && rows[2].threshold == std::to_string((*page)[4]) + " %",
            "Available Spare and its threshold are percentages");
    require(rows[3].current == std::to_string((*page)[5]) + " %", "Percentage Used is a percentage");
    return 0;
}
