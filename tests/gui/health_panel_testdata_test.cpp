// Twelve real drives' S.M.A.R.T. blocks on simulated drives: after a click
// on each drive, the health panel shows exactly the temperature and rows an
// independent decoder made of the same blocks (expected.tsv).
#include "health_panel_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace orvel {
namespace {

namespace fs = std::filesystem;

constexpr int kTemperatureColumn = 5;

fs::path smartTestData()
{
    if (const char* overridden = std::getenv("ORVEL_TESTDATA"); overridden != nullptr && *overridden != '\0')
        return fs::path(overridden) / "smart";
    return fs::path(ORVEL_SOURCE_DIR "/../shared/testdata/smart");
}

std::optional<SmartBlock> readBlock(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    SmartBlock block{};
    if (bytes.size() != block.size())
        return std::nullopt;
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

std::vector<std::string> readLines(const fs::path& file)
{
    std::ifstream stream(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

struct RealDrive {
    std::string name;
    std::vector<std::string> expected;
};

TEST(HealthPanelOnRealSmartBlocks, EachDriveShowsItsExpectedTemperatureAndRows)
{
    const fs::path folder = smartTestData();
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no S.M.A.R.T. test data at " << folder << " (set ORVEL_TESTDATA)";

    std::vector<fs::path> driveFolders;
    for (const auto& entry : fs::directory_iterator(folder))
        if (fs::is_regular_file(entry.path() / "expected.tsv"))
            driveFolders.push_back(entry.path());
    std::sort(driveFolders.begin(), driveFolders.end());
    ASSERT_FALSE(driveFolders.empty()) << "no drive folders in " << folder;

    // All drives in one panel: with more than ten, the rows also sort as text.
    std::vector<SimDriveSpec> specs;
    std::vector<RealDrive> drives;
    for (const fs::path& driveFolder : driveFolders) {
        SimDriveSpec spec = test::plainDrive("Real " + driveFolder.filename().string());
        spec.smartData = readBlock(driveFolder / "data.bin");
        spec.smartThresholds = readBlock(driveFolder / "thresholds.bin");
        ASSERT_TRUE(spec.smartData && spec.smartThresholds) << "unreadable blocks in " << driveFolder;
        specs.push_back(std::move(spec));
        drives.push_back({driveFolder.filename().string(), readLines(driveFolder / "expected.tsv")});
    }
    test::HealthPanelSession session(std::move(specs));
    ASSERT_TRUE(session.ready());

    for (std::size_t number = 0; number < drives.size(); ++number) {
        SCOPED_TRACE(drives[number].name);
        const QString label = QString::number(number);
        session.clickDrive(label);
        const QStringList driveRow = session.driveList().rowTexts(session.driveRow(label));
        std::vector<std::string> shown{"Temperature\t" + driveRow.value(kTemperatureColumn).toStdString()};
        for (const QStringList& row : session.attributeRows())
            shown.push_back(row.join(QLatin1Char('\t')).toStdString());
        EXPECT_EQ(shown, drives[number].expected);
    }
}

} // namespace
} // namespace orvel
