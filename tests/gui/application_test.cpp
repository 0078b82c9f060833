#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "shell/application_options.h"
#include "shell/main_frame.h"
#include "shell/terminal_message_boxes.h"
#include "shell/vantor.h"
#include "support/recording_observer.h"
#include "support/run_command.h"
#include "support/sim_platform_fixture.h"
#include "support/spawned_process.h"
#include "support/temp_dir.h"
#include "tests/gui/shell_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace orvel {
namespace {

// --- Options -----------------------------------------------------------------

TEST(ApplicationOptions, DemoChoosesTheBuiltInSetOrAFolderAndLogDirTakesAFolder)
{
    const ParsedApplicationOptions none = parseApplicationOptions({});
    ASSERT_TRUE(none.options);
    EXPECT_FALSE(none.options->demoScenario);
    EXPECT_FALSE(none.options->logDirectory);

    const ParsedApplicationOptions builtIn = parseApplicationOptions({"--demo", "--log-dir", "/tmp/logs"});
    ASSERT_TRUE(builtIn.options);
    EXPECT_EQ(builtIn.options->demoScenario, std::string());
    EXPECT_EQ(builtIn.options->logDirectory, "/tmp/logs");

    const ParsedApplicationOptions folder = parseApplicationOptions({"--log-dir=/var/x", "--demo=/srv/scenario"});
    ASSERT_TRUE(folder.options);
    EXPECT_EQ(folder.options->demoScenario, "/srv/scenario");
    EXPECT_EQ(folder.options->logDirectory, "/var/x");
}

TEST(ApplicationOptions, RefusesWhatItCannotUseWithAReason)
{
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--demo="}, {"--log-dir"}, {"--log-dir="}, {"--log-dir", ""}, {"--fast"}, {"--demo", "-x"}}) {
        const ParsedApplicationOptions parsed = parseApplicationOptions(arguments);
        EXPECT_FALSE(parsed.options) << arguments.front();
        EXPECT_FALSE(parsed.error.empty()) << arguments.front();
    }
    EXPECT_NE(parseApplicationOptions({"--fast"}).error.find("--fast"), std::string::npos);
}

// --- Messages nobody can see ----------------------------------------------------

TEST(TerminalMessageBoxes, WriteTheMessageAndNeverAgreeToAQuestion)
{
    std::ostringstream out;
    TerminalMessageBoxes boxes(out);
    EXPECT_EQ(boxes.show({"Operation is completed.", "Orvel Disk Image", MessageIcon::Information, MessageButtons::Ok}),
              MessageAnswer::Ok);
    EXPECT_EQ(boxes.show({"Clone now?", "Confirm", MessageIcon::Question, MessageButtons::YesNo}), MessageAnswer::No);
    EXPECT_EQ(out.str(), "Orvel Disk Image: Operation is completed.\nConfirm: Clone now?\n");
}

// --- Start-up and end, in this process ------------------------------------------

class VantorTest : public testing::Test {
protected:
    VantorTest() { drives.make({test::simDrive(64)}); }
    ~VantorTest() override
    {
        releaseOperationSlots();
        ClearInventory();
    }

    test::SimPlatformFixture drives;
    test::ScriptedMessageBox boxes;
    test::StandInPanels panels;
};

TEST_F(VantorTest, StartsWithTheMainWindowShowingHome)
{
    CVantor application(drives.platform(), boxes, panels.factory());
    ASSERT_TRUE(application.InitInstance());
    ASSERT_NE(application.mainWindow(), nullptr);
    EXPECT_TRUE(application.mainWindow()->isVisible());
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(VantorTest, ASecondInstanceIsToldAndEndsWithoutAWindowWhileTheFirstRuns)
{
    auto first = std::make_unique<CVantor>(drives.platform(), boxes, panels.factory());
    ASSERT_TRUE(first->InitInstance());

    {
        CVantor second(drives.platform(), boxes, panels.factory());
        EXPECT_FALSE(second.InitInstance());
        EXPECT_EQ(second.mainWindow(), nullptr);
        const std::vector<MessageRequest> asked = boxes.requests();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].text, "An Instance of this application is already running.");
        EXPECT_EQ(asked[0].caption, "Warning");
        EXPECT_EQ(asked[0].icon, MessageIcon::Error);
        EXPECT_EQ(asked[0].buttons, MessageButtons::Ok);
    }
    EXPECT_TRUE(first->mainWindow()->isVisible()) << "the refused start disturbed the running one";

    first.reset();
    CVantor third(drives.platform(), boxes, panels.factory());
    EXPECT_TRUE(third.InitInstance()) << "the lock outlived the instance that held it";
    EXPECT_EQ(boxes.requests().size(), 1u);
}

TEST_F(VantorTest, AtTheEndReleasesTheDevicesAndTheInventoryLeftBehind)
{
    {
        CVantor application(drives.platform(), boxes, panels.factory());
        ASSERT_TRUE(application.InitInstance());
        sourceDevice = std::make_unique<DiskDevice>();
        ASSERT_TRUE(openDevice(*sourceDevice, drives.platform().devices(), "0", OpenMode::ReadOnly));
        destinationDevice = std::make_unique<DiskDevice>();
        physicalDrives.push_back(std::make_unique<DriveInfo>());
        volumes.push_back(std::make_unique<DriveInfo>());
    }
    EXPECT_FALSE(sourceDevice);
    EXPECT_FALSE(destinationDevice);
    EXPECT_TRUE(physicalDrives.empty());
    EXPECT_TRUE(volumes.empty());
}

// --- Two processes --------------------------------------------------------------

// Whether anyone holds a flock on this file, from the kernel's lock table, so
// that looking never takes the lock from the program being watched.
bool fileIsLocked(const std::string& path)
{
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0)
        return false;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, device;
        fields >> number >> kind;
        if (kind == "->")
            fields >> kind;
        fields >> mode >> access >> pid >> device;
        const std::size_t inodeAt = device.rfind(':');
        if (kind == "FLOCK" && inodeAt != std::string::npos &&
            device.substr(inodeAt + 1) == std::to_string(file.st_ino))
            return true;
    }
    return false;
}

bool waitUntil(const std::function<bool()>& condition, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// The real program, headless, on the built-in simulated drives, with its lock,
// cache and logs in a folder of the test's own.
class TwoProcessesTest : public testing::Test {
protected:
    std::vector<std::string> program() const
    {
        return {test::findProgram("env"),
                "QT_QPA_PLATFORM=offscreen",
                "XDG_RUNTIME_DIR=" + folder.path(),
                "XDG_CACHE_HOME=" + folder.file("cache"),
                "XDG_STATE_HOME=" + folder.file("state"),
                ORVEL_EXECUTABLE,
                "--demo"};
    }

    std::string lockFile() const { return folder.file("Orvel Disk Imager.lock"); }

    test::TempDir folder;
};

TEST_F(TwoProcessesTest, ASecondStartIsRefusedWhileTheFirstRunsAndAStartAfterItWorks)
{
    if (!std::filesystem::exists(ORVEL_EXECUTABLE))
        GTEST_SKIP() << "the program has not been built: " << ORVEL_EXECUTABLE;
    ASSERT_FALSE(folder.path().empty());

    auto first = std::make_unique<test::SpawnedProcess>(program(), folder.file("first.out"));
    ASSERT_TRUE(first->started());
    ASSERT_TRUE(waitUntil([&] { return fileIsLocked(lockFile()); }, 60))
        << "the first instance never took its lock: " << test::readWholeFile(folder.file("first.out"));

    test::SpawnedProcess second(program(), folder.file("second.out"));
    ASSERT_TRUE(test::waitForFileText(folder.file("second.out"), "already running", 60))
        << "the second instance did not say why it stopped: " << test::readWholeFile(folder.file("second.out"));
    EXPECT_EQ(second.wait(), 1);
    EXPECT_EQ(test::readWholeFile(folder.file("second.out")),
              "Warning: An Instance of this application is already running.\n");

    first->signal(SIGTERM);
    first->wait();
    first.reset();
    ASSERT_FALSE(fileIsLocked(lockFile())) << "the lock outlived the first instance";

    test::SpawnedProcess third(program(), folder.file("third.out"));
    EXPECT_TRUE(waitUntil([&] { return fileIsLocked(lockFile()); }, 60))
        << "a start after the first instance ended did not run: " << test::readWholeFile(folder.file("third.out"));
    EXPECT_EQ(test::readWholeFile(folder.file("third.out")).find("already running"), std::string::npos);
}

// --- Installation ---------------------------------------------------------------

std::string lineStartingWith(const std::string& text, const std::string& start)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (line.starts_with(start))
            return line.substr(start.size());
    return {};
}

TEST(Installation, PutsTheDesktopEntryAndItsPolicyBesideTheProgramHelpAndIcon)
{
    const std::string cmake = test::findProgram("cmake");
    if (cmake.empty() || !std::filesystem::exists(ORVEL_EXECUTABLE))
        GTEST_SKIP() << "cmake or the built program is missing";
    test::TempDir prefix;
    const test::CommandResult installed =
        test::runCommand({cmake, "--install", ORVEL_BINARY_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(installed.exitStatus, 0) << installed.output;

    const std::string entryPath = prefix.file("share/applications/org.orvel.disk-image.desktop");
    const std::string entry = test::readWholeFile(entryPath);
    ASSERT_FALSE(entry.empty()) << "no desktop entry at " << entryPath;
    const std::string exec = lineStartingWith(entry, "Exec=");
    ASSERT_TRUE(exec.starts_with("pkexec ")) << "the entry does not ask for root: " << exec;
    const std::filesystem::path executable = exec.substr(7);
    EXPECT_TRUE(executable.string().starts_with(prefix.path() + "/")) << executable;
    EXPECT_EQ(::access(executable.c_str(), X_OK), 0) << "the entry starts a program that is not there: " << executable;
    EXPECT_TRUE(std::filesystem::exists(executable.parent_path() / "Orvel Disk Image.html"))
        << "no help file beside the installed program";
    EXPECT_EQ(lineStartingWith(entry, "Icon="), "orvel-disk-image");
    EXPECT_TRUE(std::filesystem::exists(prefix.file("share/icons/hicolor/128x128/apps/orvel-disk-image.png")));

    const std::string policy = test::readWholeFile(prefix.file("share/polkit-1/actions/org.orvel.disk-image.policy"));
    ASSERT_FALSE(policy.empty()) << "no polkit policy";
    EXPECT_NE(policy.find("<annotate key=\"org.freedesktop.policykit.exec.path\">" + executable.string() +
                          "</annotate>"),
              std::string::npos)
        << "the policy does not name the installed program:\n"
        << policy;
    EXPECT_NE(policy.find("<annotate key=\"org.freedesktop.policykit.exec.allow_gui\">true</annotate>"),
              std::string::npos)
        << "without allow_gui pkexec drops the display";

    if (const std::string validate = test::findProgram("desktop-file-validate"); !validate.empty()) {
        const test::CommandResult checked = test::runCommand({validate, entryPath});
        EXPECT_EQ(checked.exitStatus, 0) << checked.output;
    }
    if (const std::string xmllint = test::findProgram("xmllint"); !xmllint.empty()) {
        const test::CommandResult checked =
            test::runCommand({xmllint, "--noout", prefix.file("share/polkit-1/actions/org.orvel.disk-image.policy")});
        EXPECT_EQ(checked.exitStatus, 0) << checked.output;
    }
}

} // namespace
} // namespace orvel
