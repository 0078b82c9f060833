#pragma once

#include "platform/platform.h"

#include <memory>
#include <optional>
#include <string>

namespace orvel {

// The machine's drives, or with a scenario the simulated ones (an empty
// scenario text means the built-in demo set). Null with `error` set when the
// scenario cannot be read.
std::unique_ptr<Platform> choosePlatform(const std::optional<std::string>& demoScenario, std::string& error);

} // namespace orvel
