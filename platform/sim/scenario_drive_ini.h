#pragma once

#include "platform/sim/sim_drive_setup.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace orvel {

// One drive as its drive.ini describes it.
struct ScenarioDrive {
    SimDriveSetup setup;
    int volumesLine = 0;  // where the volumes were given, for later messages
};

// Reads the `key = value` lines of a drive.ini (`file` names it in messages
// and anchors a relative image path). False with one message naming the
// file and line when the text does not describe a drive.
bool parseDriveIni(const std::filesystem::path& file, std::string_view text, ScenarioDrive& drive, std::string& error);

} // namespace orvel
