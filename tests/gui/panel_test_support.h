#pragma once

#include "engine/message_box.h"
#include "platform/sim/sim_drive_setup.h"
#include "platform/sim/sim_platform.h"
#include "support/recording_observer.h"
#include "support/sim_platform_fixture.h"
#include "support/temp_dir.h"
#include "tests/gui/recording_panel_host.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvel::test {

// Runs the GUI thread's events until `done` holds. False after a deadline
// long enough that only a hang reaches it.
bool waitUntil(const std::function<bool()>& done);

// A disk image of `bytes` bytes whose every 8-byte word differs from the others.
void writePatternImage(const std::string& path, std::uint64_t bytes);
// The first `length` bytes of a file (fewer at its end).
std::vector<char> fileHead(const std::string& path, std::uint64_t length);
std::string fileText(const std::string& path);

// A message box request in one line, for comparing what was asked:
// "caption | icon | buttons | text".
std::string describe(const MessageRequest& request);
std::vector<std::string> describe(const std::vector<MessageRequest>& requests);

// Panels on simulated drives, answered by a scripted message box and hosted
// by a recording host.
class PanelTest : public ::testing::Test {
protected:
    void TearDown() override;

    // The drives and a host over them. The host switches panels when told.
    SimPlatform& makeDrives(std::vector<SimDriveSetup> setups);
    // A host over another platform (which must outlive it).
    void makeHost(Platform& platform);
    // The answers the next message boxes get, in order; what they asked.
    void script(std::vector<MessageAnswer> answers);
    std::vector<std::string> asked() const;

    // A panel of kind P over the host's window, its lists filled.
    template <typename P>
    P& showSetupPanel();

    // A drive whose content is the pattern (an image file of its own).
    SimDriveSetup patternedDrive(std::uint64_t sectors, std::uint32_t sectorSize = 512);

    SimPlatformFixture sims;
    TempDir files;
    TempDir logs;
    std::unique_ptr<ScriptedMessageBox> boxes = std::make_unique<ScriptedMessageBox>();
    std::unique_ptr<RecordingPanelHost> host;

private:
    int patternedDrives_ = 0;
};

template <typename P>
P& PanelTest::showSetupPanel()
{
    P& panel = host->show<P>();
    EXPECT_TRUE(waitUntil([&panel] { return panel.listsFilled(); })) << "the drive list was never filled";
    return panel;
}

} // namespace orvel::test
