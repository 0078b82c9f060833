// The log file name built from a source's name. Input: the name, as a drive
// catalog or the operator gives it.
#include "engine/operation_log.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using orvel::fuzz::isValidUtf8;
using orvel::fuzz::require;

namespace {

bool isForbidden(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
}

std::size_t characterCount(std::string_view text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    const std::string_view name(reinterpret_cast<const char*>(input), size);
    const std::string fileName = logFileNameFor(name);

    require(fileName.ends_with(".log"), "a log's name ends in .log");
    require(fileName.size() <= kLogFileNameLimit, "a log's name fits a file name");
    require(std::none_of(fileName.begin(), fileName.end(), isForbidden),
            "a log's name holds no separator, control or reserved character");
    if (isValidUtf8(name)) {
        require(isValidUtf8(fileName), "a UTF-8 name gives a UTF-8 file name");
        if (characterCount(name) == 2)
            require(fileName.starts_with("Drive"), "a two-character name is a drive letter");
        else if (std::none_of(name.begin(), name.end(), isForbidden) && name.size() + 4 <= kLogFileNameLimit)
            require(fileName == std::string(name) + ".log", "a name that fits is kept whole");
    }

    require(logFilePath("/var/log/orvel-disk-image", name) == "/var/log/orvel-disk-image/" + fileName,
            "the log lies in the log folder");
    require(logFilePath("", name).empty(), "without a folder there is no log");
    return 0;
}
