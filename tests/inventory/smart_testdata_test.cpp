// Real drives' S.M.A.R.T. blocks, decoded and formatted as the health panel
// shows them, against what an independent decoder made of the same blocks.

#include "inventory/attribute_rows.h"
#include "inventory/drive_text.h"
#include "inventory/smart_reader.h"

#include "inventory_fakes.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace orvel {
namespace {

std::optional<SmartBlock> readBlock(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    SmartBlock block{};
    if (!file.read(reinterpret_cast<char*>(block.data()), block.size()))
        return std::nullopt;
    return block;
}

class RealDriveBlocks : public testing::TestWithParam<const char*> {};

TEST_P(RealDriveBlocks, ShowTheExpectedTemperatureAndRows)
{
    const std::filesystem::path folder = test::testDataFolder("smart") / GetParam();
    if (!std::filesystem::exists(folder / "expected.tsv"))
        GTEST_SKIP() << "no test data at " << folder << " (set ORVEL_TESTDATA to the testdata folder)";

    test::FakeSmartTransport transport;
    const std::optional<SmartBlock> data = readBlock(folder / "data.bin");
    const std::optional<SmartBlock> thresholds = readBlock(folder / "thresholds.bin");
    ASSERT_TRUE(data && thresholds) << "unreadable blocks in " << folder;
    transport.drives[1] = {true, true, data, thresholds};

    SmartAttributeTable slots{};
    std::uint32_t temperature = 0;
    ReadSmartData(transport, 1, slots, temperature);

    std::vector<std::string> shown = {"Temperature\t" + formatTemperature(temperature)};
    for (const SmartAttributeSlot* slot : attributesInListOrder(slots)) {
        const AttributeRow row = formatAttributeRow(*slot);
        shown.push_back(row.id + "\t" + row.name + "\t" + row.current + "\t" + row.worst + "\t" + row.threshold +
                        "\t" + row.raw);
    }

    const std::vector<std::string> expected = test::expectedLines(folder / "expected.tsv");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(TwelveDrives, RealDriveBlocks,
                         testing::Values("drive01", "drive02", "drive03", "drive04", "drive05", "drive06", "drive07",
                                         "drive08", "drive09", "drive10", "drive11", "drive12"),
                         [](const testing::TestParamInfo<const char*>& drive) { return std::string(drive.param); });

} // namespace
} // namespace orvel
