#include "platform/sim/scenario_location.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>

#ifndef ORVEL_DEMO_SCENARIO_SOURCE
#error "ORVEL_DEMO_SCENARIO_SOURCE must name scenarios/demo in the source tree (cmake/demo_scenario.cmake)"
#endif

namespace orvel {
namespace {

// FNV-1a: stable across runs and builds, unlike std::hash.
std::uint64_t stableHash(const std::string& text)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string hex(std::uint64_t value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (auto digit = text.rbegin(); digit != text.rend(); ++digit, value >>= 4)
        *digit = kDigits[value & 0xF];
    return text;
}

std::filesystem::path absoluteEnvironmentPath(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr)
        return {};
    const std::filesystem::path path(value);
    return path.is_absolute() ? path : std::filesystem::path();
}

std::filesystem::path userCacheFolder()
{
    if (std::filesystem::path cache = absoluteEnvironmentPath("XDG_CACHE_HOME"); !cache.empty())
        return cache;
    if (std::filesystem::path home = absoluteEnvironmentPath("HOME"); !home.empty())
        return home / ".cache";
    if (std::filesystem::path local = absoluteEnvironmentPath("LOCALAPPDATA"); !local.empty())
        return local;
    std::error_code error;
    return std::filesystem::temp_directory_path(error);
}

} // namespace

std::filesystem::path builtInScenarioFolder(const std::filesystem::path& executableFolder)
{
    if (!executableFolder.empty()) {
        std::error_code error;
        if (const std::filesystem::path beside = executableFolder / "scenarios" / "demo"; std::filesystem::is_directory(beside, error))
            return beside;
        const std::filesystem::path shared =
            (executableFolder / "../share/orvel-disk-image/scenarios/demo").lexically_normal();
        if (std::filesystem::is_directory(shared, error))
            return shared;
    }
    return ORVEL_DEMO_SCENARIO_SOURCE;
}

std::filesystem::path builtInScenarioFolder()
{
    return builtInScenarioFolder(executableFolder());
}

std::filesystem::path scenarioCacheFolder(const std::filesystem::path& scenarioFolder)
{
    std::error_code error;
    std::filesystem::path identity = std::filesystem::weakly_canonical(scenarioFolder, error);
    if (error)
        identity = std::filesystem::absolute(scenarioFolder, error);
    const std::filesystem::path name = identity.has_filename() ? identity.filename() : identity.parent_path().filename();
    return userCacheFolder() / "orvel-disk-image" / (name.string() + "-" + hex(stableHash(identity.string())));
}

} // namespace orvel
