// The NVMe rows for what the real drives of the test data do not show: counters
// past 2^64, every temperature sensor, a critical warning, temperatures at and
// below 0 °C, and the data-unit amounts at each unit's edge.

#include "inventory/nvme_health_log.h"
#include "inventory/nvme_health_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace orvel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A page with `bytes` from `offset`, the rest zero.
NvmeHealthPage pageWith(std::size_t offset, const Bytes& bytes)
{
    NvmeHealthPage page{};
    std::copy(bytes.begin(), bytes.end(), page.begin() + static_cast<std::ptrdiff_t>(offset));
    return page;
}

std::vector<AttributeRow> rowsOf(const NvmeHealthPage& page)
{
    return nvmeHealthRows(decodeNvmeHealthLog(page));
}

const AttributeRow* rowWithId(const std::vector<AttributeRow>& rows, const std::string& id)
{
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const AttributeRow& row) { return row.id == id; });
    return found == rows.end() ? nullptr : &*found;
}

std::vector<std::string> idsOf(const std::vector<AttributeRow>& rows)
{
    std::vector<std::string> ids;
    for (const AttributeRow& row : rows)
        ids.push_back(row.id);
    return ids;
}

struct CounterCase {
    const char* what;
    Bytes littleEndian;  // the 16 bytes from the counter's offset, as far as given
    const char* decimal;
};

class NvmeCounters : public testing::TestWithParam<CounterCase> {};

// Every counter is read whole: nothing wraps at 2^64 and no byte of the 16 is
// dropped, and the decimal text has no separators.
TEST_P(NvmeCounters, ShowAll128BitsInDecimal)
{
    const CounterCase& counter = GetParam();
    const std::vector<AttributeRow> rows = rowsOf(pageWith(nvme_offset::kPowerCycles, counter.littleEndian));
    const AttributeRow* powerCycles = rowWithId(rows, "70");
    ASSERT_NE(powerCycles, nullptr);
    EXPECT_EQ(powerCycles->current, counter.decimal);
    EXPECT_EQ(powerCycles->raw, counter.decimal);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NvmeCounters,
    testing::Values(CounterCase{"zero", {}, "0"}, CounterCase{"one", {1}, "1"},
                    CounterCase{"largest 64-bit", Bytes(8, 0xFF), "18446744073709551615"},
                    CounterCase{"2^64 + 5", {5, 0, 0, 0, 0, 0, 0, 0, 1}, "18446744073709551621"},
                    CounterCase{"10^20", {0x00, 0x00, 0x10, 0x63, 0x2D, 0x5E, 0xC7, 0x6B, 0x05},
                                "100000000000000000000"},
                    CounterCase{"top byte only", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80},
                                "170141183460469231731687303715884105728"},
                    CounterCase{"largest 128-bit", Bytes(16, 0xFF), "340282366920938463463374607431768211455"}),
    [](const testing::TestParamInfo<CounterCase>& counter) {
        std::string name = counter.param.what;
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                        '_');
        return name;
    });

TEST(NvmeCounterUnits, BusyTimeAndPowerOnHoursCarryTheirUnitsAndMediaErrorsNone)
{
    NvmeHealthPage page{};
    page[nvme_offset::kControllerBusyTime] = 7;
    page[nvme_offset::kPowerOnHours + 8] = 1;  // 2^64 hours
    page[nvme_offset::kMediaErrors] = 3;
    const std::vector<AttributeRow> rows = rowsOf(page);
    EXPECT_EQ(rowWithId(rows, "60")->current, "7 min");
    EXPECT_EQ(rowWithId(rows, "80")->current, "18446744073709551616 h");
    EXPECT_EQ(rowWithId(rows, "80")->raw, "18446744073709551616");
    EXPECT_EQ(rowWithId(rows, "A0")->current, "3");
}

struct DataUnitsCase {
    std::uint64_t low;
    std::uint64_t high;
    const char* shown;
};

class NvmeDataUnits : public testing::TestWithParam<DataUnitsCase> {};

TEST_P(NvmeDataUnits, ShowTheAmountInTheLargestUnitThatGivesAtLeastOne)
{
    EXPECT_EQ(formatDataUnits({GetParam().low, GetParam().high}), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, NvmeDataUnits,
    testing::Values(DataUnitsCase{0, 0, "0 B"}, DataUnitsCase{1, 0, "512.0 kB"}, DataUnitsCase{2, 0, "1.0 MB"},
                    DataUnitsCase{1953, 0, "999.9 MB"}, DataUnitsCase{1954, 0, "1.0 GB"},
                    DataUnitsCase{107095703, 0, "54.8 TB"}, DataUnitsCase{1953125000, 0, "1.0 PB"},
                    DataUnitsCase{0, 1, "9444732965.7 PB"}));

TEST(NvmeDataUnitRows, ShowTheAmountAndTheCounterForReadAndWritten)
{
    NvmeHealthPage page = pageWith(nvme_offset::kDataUnitsRead, {0x97, 0x26, 0x62, 0x06});  // 107095703
    page[nvme_offset::kDataUnitsWritten + 8] = 1;
    const std::vector<AttributeRow> rows = rowsOf(page);
    EXPECT_EQ(rowWithId(rows, "20")->current, "54.8 TB");
    EXPECT_EQ(rowWithId(rows, "20")->raw, "107095703");
    EXPECT_EQ(rowWithId(rows, "30")->current, "9444732965.7 PB");
    EXPECT_EQ(rowWithId(rows, "30")->raw, "18446744073709551616");
}

struct TemperatureCase {
    std::uint16_t kelvin;
    const char* shown;
};

class NvmeCompositeTemperature : public testing::TestWithParam<TemperatureCase> {};

// The composite temperature always has its row, whatever it reports.
TEST_P(NvmeCompositeTemperature, ShowsKelvinLess273AndTheKelvinAsRaw)
{
    const std::uint16_t kelvin = GetParam().kelvin;
    const std::vector<AttributeRow> rows = rowsOf(
        pageWith(nvme_offset::kCompositeTemperature, {static_cast<std::uint8_t>(kelvin & 0xFF),
                                                      static_cast<std::uint8_t>(kelvin >> 8)}));
    const AttributeRow* composite = rowWithId(rows, "1");
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(composite->name, "Composite Temperature");
    EXPECT_EQ(composite->current, GetParam().shown);
    EXPECT_EQ(composite->raw, std::to_string(kelvin));
}

INSTANTIATE_TEST_SUITE_P(Kelvin, NvmeCompositeTemperature,
                         testing::Values(TemperatureCase{0, "-273 \u00B0C"}, TemperatureCase{1, "-272 \u00B0C"},
                                         TemperatureCase{272, "-1 \u00B0C"}, TemperatureCase{273, "0 \u00B0C"},
                                         TemperatureCase{316, "43 \u00B0C"},
                                         TemperatureCase{0xFFFF, "65262 \u00B0C"}));

TEST(NvmeTemperatureSensors, AllEightInOrderWithTheirOffsets)
{
    Bytes sensors;
    for (std::uint8_t sensor = 0; sensor < 8; ++sensor) {
        sensors.push_back(static_cast<std::uint8_t>(0x30 + sensor));  // 304 K = 31 °C upwards
        sensors.push_back(0x01);
    }
    const std::vector<AttributeRow> rows = rowsOf(pageWith(nvme_offset::kFirstTemperatureSensor, sensors));
    ASSERT_EQ(rows.size(), 16u + 8u);
    const char* ids[] = {"C8", "CA", "CC", "CE", "D0", "D2", "D4", "D6"};
    for (std::size_t sensor = 0; sensor < 8; ++sensor) {
        const AttributeRow& row = rows[16 + sensor];
        EXPECT_EQ(row.id, ids[sensor]);
        EXPECT_EQ(row.name, "Temperature Sensor " + std::to_string(sensor + 1));
        EXPECT_EQ(row.current, std::to_string(31 + sensor) + " \u00B0C");
        EXPECT_EQ(row.raw, std::to_string(304 + sensor));
    }
}

TEST(NvmeTemperatureSensors, OnlyThoseThatReportAValueHaveARow)
{
    NvmeHealthPage page = pageWith(0xCC, {0x3C, 0x01});  // sensor 3
    page[0xD6] = 0x01;  // sensor 8, 1 K: not 0, so shown
    const std::vector<AttributeRow> rows = rowsOf(page);
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows[16].id, "CC");
    EXPECT_EQ(rows[16].name, "Temperature Sensor 3");
    EXPECT_EQ(rows[16].current, "43 \u00B0C");
    EXPECT_EQ(rows[17].id, "D6");
    EXPECT_EQ(rows[17].current, "-272 \u00B0C");
}

TEST(NvmeCriticalWarning, ShowsTheBitsInHexadecimalAndTheByteInDecimal)
{
    for (const auto& [bits, shown] : std::vector<std::pair<std::uint8_t, std::string>>{
             {0x00, "0x00"}, {0x04, "0x04"}, {0x1F, "0x1F"}, {0xFF, "0xFF"}}) {
        const AttributeRow row = rowsOf(pageWith(0, {bits}))[0];
        EXPECT_EQ(row.id, "0");
        EXPECT_EQ(row.current, shown);
        EXPECT_EQ(row.raw, std::to_string(bits));
    }
}

TEST(NvmeRows, KeepThePageOrderWithWorstEmptyAndOnlyTheSpareThreshold)
{
    NvmeHealthPage page{};
    page[nvme_offset::kAvailableSpare] = 83;
    page[nvme_offset::kAvailableSpareThreshold] = 10;
    page[nvme_offset::kPercentageUsed] = 255;
    page[nvme_offset::kWarningTemperatureTime] = 0x8D;
    page[nvme_offset::kCriticalTemperatureTime + 3] = 0x01;  // 2^24 minutes
    const std::vector<AttributeRow> rows = rowsOf(page);

    EXPECT_EQ(idsOf(rows), (std::vector<std::string>{"0", "1", "3", "5", "20", "30", "40", "50", "60", "70", "80",
                                                     "90", "A0", "B0", "C0", "C4"}));
    for (const AttributeRow& row : rows) {
        EXPECT_EQ(row.worst, "") << row.id;
        EXPECT_EQ(row.threshold, row.id == "3" ? "10 %" : "") << row.id;
    }
    EXPECT_EQ(rows[2].current, "83 %");
    EXPECT_EQ(rows[2].raw, "83");
    EXPECT_EQ(rows[3].current, "255 %");
    EXPECT_EQ(rowWithId(rows, "C0")->current, "141 min");
    EXPECT_EQ(rowWithId(rows, "C4")->current, "16777216 min");
    EXPECT_EQ(rowWithId(rows, "C4")->raw, "16777216");
}

} // namespace
} // namespace orvel
