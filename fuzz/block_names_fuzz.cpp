// The checks on kernel block device names and drive numbers, which come from
// the operator (a /dev path, a drive number) and from sysfs. Input: the name.
#include "fuzz/fuzz_check.h"
#include "platform/linux/block_names.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

using orvel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    const std::string_view name(reinterpret_cast<const char*>(input), size);

    if (orvel::isBareKernelName(name)) {
        const std::filesystem::path device = (std::filesystem::path("/dev") / std::string(name)).lexically_normal();
        require(device.parent_path() == "/dev" && device.filename() == name,
                "a bare kernel name names a device file directly in /dev");
    }

    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), value);
    const bool canonical = !name.empty() && error == std::errc() && end == name.data() + name.size()
        && std::to_string(value) == name;
    const std::optional<std::uint64_t> number = orvel::parseDriveNumber(name);
    require(number.has_value() == canonical, "a drive number is read exactly when it is written as the system writes it");
    require(!number || *number == value, "a drive number reads as its decimal value");
    return 0;
}
