#include "platform/sim/scenario_platform.h"
#include "support/sim_system_services.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orvel {
namespace {

namespace fs = std::filesystem;

constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kReadThresholds{0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

std::vector<char> fileBytes(const fs::path& file)
{
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

bool sameBytes(const SmartBlock& block, const std::vector<char>& bytes)
{
    return bytes.size() == block.size()
        && std::equal(block.begin(), block.end(), bytes.begin(),
                      [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
}

TEST(ScenarioSmartTestData, EachRealDrivePairComesBackByteForByte)
{
    const fs::path smartFolder = test::testDataFolder("smart");
    if (!fs::is_directory(smartFolder))
        GTEST_SKIP() << "no S.M.A.R.T. test data at " << smartFolder << " (set ORVEL_TESTDATA)";

    int pairs = 0;
    for (const auto& entry : fs::directory_iterator(smartFolder)) {
        const fs::path data = entry.path() / "data.bin";
        const fs::path thresholds = entry.path() / "thresholds.bin";
        if (!fs::is_regular_file(data) || !fs::is_regular_file(thresholds))
            continue;
        SCOPED_TRACE(entry.path().string());
        ++pairs;
        test::TempDir temp;
        const fs::path scenario = fs::path(temp.path()) / "scenario";
        fs::create_directories(scenario / "drive");
        std::ofstream(scenario / "drive" / "drive.ini") << "model = Real Drive\nsize = 1 MiB\n";
        fs::copy_file(data, scenario / "drive" / "smart-data.bin");
        fs::copy_file(thresholds, scenario / "drive" / "smart-thresholds.bin");

        ScenarioPlatform made = makeScenarioPlatform(scenario, fs::path(temp.path()) / "cache",
                                                     std::make_shared<test::SimSystemServices>(temp.path()));
        ASSERT_NE(made.platform, nullptr) << made.error;
        auto device = made.platform->smart().openSmartDevice(0);
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->supportsSmartCommands());
        SmartBlock block{};
        ASSERT_TRUE(device->receiveData(kReadData, block));
        EXPECT_TRUE(sameBytes(block, fileBytes(data)));
        ASSERT_TRUE(device->receiveData(kReadThresholds, block));
        EXPECT_TRUE(sameBytes(block, fileBytes(thresholds)));
    }
    EXPECT_GT(pairs, 0) << "the folder holds no data.bin/thresholds.bin pairs";
}

} // namespace
} // namespace orvel
