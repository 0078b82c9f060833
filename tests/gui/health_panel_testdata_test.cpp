// Twelve real drives' S.M.A.R.T. blocks in a scenario folder, as an operator
// would practise with them: after a click on each drive, the health panel
// shows exactly the temperature and rows an independent decoder made of the
// same blocks (expected.tsv).
#include "health_panel_fixture.h"

#include "platform/sim/scenario_loader.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace orvel {
namespace {

namespace fs = std::filesystem;

constexpr int kModelColumn = 2;
constexpr int kTemperatureColumn = 5;

struct RealDrive {
    std::string name;
    std::vector<std::string> expected;
};

TEST(HealthPanelOnRealSmartBlocks, EachDriveShowsItsExpectedTemperatureAndRows)
{
    const fs::path folder = test::testDataFolder("smart");
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no S.M.A.R.T. test data at " << folder << " (set ORVEL_TESTDATA)";

    std::vector<fs::path> driveFolders;
    for (const auto& entry : fs::directory_iterator(folder))
        if (fs::is_regular_file(entry.path() / "expected.tsv"))
            driveFolders.push_back(entry.path());
    std::sort(driveFolders.begin(), driveFolders.end());
    ASSERT_FALSE(driveFolders.empty()) << "no drive folders in " << folder;

    // All drives in one scenario and one panel: with more than ten, the rows
    // also sort as text. Drive folders are taken in name order.
    test::TempDir temp;
    const fs::path scenario = fs::path(temp.path()) / "scenario";
    std::vector<RealDrive> drives;
    for (const fs::path& driveFolder : driveFolders) {
        const std::string name = driveFolder.filename().string();
        fs::create_directories(scenario / name);
        std::ofstream(scenario / name / "drive.ini") << "model = Real " << name << "\nserial = " << name
                                                     << "\nsize = 1 GiB\n";
        fs::copy_file(driveFolder / "data.bin", scenario / name / "smart-data.bin");
        fs::copy_file(driveFolder / "thresholds.bin", scenario / name / "smart-thresholds.bin");
        drives.push_back({name, test::expectedLines(driveFolder / "expected.tsv")});
    }
    ScenarioLoad loaded = loadScenario(scenario);
    ASSERT_TRUE(loaded.error.empty()) << loaded.error;
    test::HealthPanelSession session(std::move(loaded.drives));
    ASSERT_TRUE(session.ready());

    for (std::size_t number = 0; number < drives.size(); ++number) {
        SCOPED_TRACE(drives[number].name);
        const QString label = QString::number(number);
        session.clickDrive(label);
        const QStringList driveRow = session.driveList().rowTexts(session.driveRow(label));
        ASSERT_EQ(driveRow.value(kModelColumn).toStdString(), drives[number].name) << "row " << number;
        std::vector<std::string> shown{"Temperature\t" + driveRow.value(kTemperatureColumn).toStdString()};
        for (const QStringList& row : session.attributeRows())
            shown.push_back(row.join(QLatin1Char('\t')).toStdString());
        EXPECT_EQ(shown, drives[number].expected);
    }
}

} // namespace
} // namespace orvel
