// Real NVMe drives' health log pages, decoded and formatted as the attribute
// pane shows them, against the rows expected for each (expected.tsv).

#include "inventory/nvme_health_log.h"
#include "inventory/nvme_health_rows.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace orvel {
namespace {

namespace fs = std::filesystem;

std::optional<NvmeHealthPage> readPage(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    NvmeHealthPage page{};
    if (!file.read(reinterpret_cast<char*>(page.data()), page.size()) || file.peek() != EOF)
        return std::nullopt;
    return page;
}

class RealNvmeLogs : public testing::TestWithParam<const char*> {};

TEST_P(RealNvmeLogs, ShowExactlyTheExpectedRows)
{
    const fs::path folder = test::testDataFolder("nvme") / GetParam();
    if (!fs::exists(folder / "expected.tsv"))
        GTEST_SKIP() << "no test data at " << folder << " (set ORVEL_TESTDATA to the testdata folder)";
    const std::optional<NvmeHealthPage> page = readPage(folder / "smart-log.bin");
    ASSERT_TRUE(page) << folder << "/smart-log.bin is not a 512-byte page";

    std::vector<std::string> shown;
    for (const AttributeRow& row : nvmeHealthRows(decodeNvmeHealthLog(*page)))
        shown.push_back(row.id + "\t" + row.name + "\t" + row.current + "\t" + row.worst + "\t" + row.threshold +
                        "\t" + row.raw);
    EXPECT_EQ(shown, test::expectedLines(folder / "expected.tsv"));
}

INSTANTIATE_TEST_SUITE_P(SevenDrives, RealNvmeLogs,
                         testing::Values("drive01", "drive02", "drive03", "drive04", "drive05", "drive06", "drive07"),
                         [](const testing::TestParamInfo<const char*>& drive) { return std::string(drive.param); });

} // namespace
} // namespace orvel
