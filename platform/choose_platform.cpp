#include "platform/choose_platform.h"

#include "platform/sim/scenario_location.h"
#include "platform/sim/scenario_platform.h"

namespace orvel {

std::unique_ptr<Platform> choosePlatform(const std::optional<std::string>& demoScenario, std::string& error)
{
    if (!demoScenario)
        return makeRealPlatform();
    const std::filesystem::path folder =
        demoScenario->empty() ? builtInScenarioFolder() : std::filesystem::path(*demoScenario);
    ScenarioPlatform scenario = makeScenarioPlatform(folder, makeRealSystemServices());
    error = scenario.error;
    return std::move(scenario.platform);
}

} // namespace orvel
