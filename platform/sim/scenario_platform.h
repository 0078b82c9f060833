#pragma once

#include "platform/sim/sim_platform.h"
#include "platform/system_services.h"

#include <filesystem>
#include <memory>
#include <string>

namespace orvel {

struct ScenarioPlatform {
    std::unique_ptr<SimPlatform> platform;  // null when the scenario was refused
    std::string error;  // why, naming the file and line
};

// The simulated drives of a scenario folder, backed by files in its cache
// folder (scenarioCacheFolder unless given).
ScenarioPlatform makeScenarioPlatform(const std::filesystem::path& scenarioFolder,
                                      std::shared_ptr<SystemServices> system);
ScenarioPlatform makeScenarioPlatform(const std::filesystem::path& scenarioFolder,
                                      const std::filesystem::path& cacheFolder, std::shared_ptr<SystemServices> system);

} // namespace orvel
