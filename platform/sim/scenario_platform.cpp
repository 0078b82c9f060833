#include "platform/sim/scenario_platform.h"

#include "platform/sim/scenario_loader.h"
#include "platform/sim/scenario_location.h"

#include <utility>

namespace orvel {

ScenarioPlatform makeScenarioPlatform(const std::filesystem::path& scenarioFolder,
                                      std::shared_ptr<SystemServices> system)
{
    return makeScenarioPlatform(scenarioFolder, scenarioCacheFolder(scenarioFolder), std::move(system));
}

ScenarioPlatform makeScenarioPlatform(const std::filesystem::path& scenarioFolder,
                                      const std::filesystem::path& cacheFolder, std::shared_ptr<SystemServices> system)
{
    ScenarioLoad load = loadScenario(scenarioFolder);
    if (!load.error.empty())
        return {nullptr, std::move(load.error)};
    return {std::make_unique<SimPlatform>(std::move(load.drives), cacheFolder, std::move(system)), {}};
}

} // namespace orvel
