// The set-up rules over what the operator types: sector numbers and counts,
// image paths, device names. Input: the typed text.
#include "engine/setup_rules.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using orvel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    const std::string text(reinterpret_cast<const char*>(input), size);

    // The C library's own reading of a signed 64-bit number, saturating on
    // overflow, is what a typed number must come to.
    const long long expected = std::strtoll(text.c_str(), nullptr, 10);
    require(parseSectorNumber(text) == static_cast<std::uint64_t>(expected),
            "a sector number reads as strtoll reads it, saturated and never wrapped");

    const std::string imagePath = withImageExtension(text);
    require(imagePath.ends_with(".img"), "an image path ends in .img");
    require(imagePath == (text.ends_with(".img") ? text : text + ".img"), "an image path is only ever extended");

    const std::string openName = openNameOf(text, true);
    require(std::all_of(openName.begin(), openName.end(), [](char c) { return c >= '0' && c <= '9'; })
                && text.ends_with(openName),
            "a drive's open name is the digits its device name ends with");
    require(openNameOf(text, false) == text, "a volume opens by its whole name");

    std::uint64_t sizeBytes = 0;
    std::memcpy(&sizeBytes, text.data(), std::min(sizeof sizeBytes, text.size()));
    const std::string sizeText = setupEntrySizeText(sizeBytes);
    require(sizeText.starts_with("(") && (sizeText.ends_with(" GB)") || sizeText.ends_with(" MB)")
                                          || sizeText.ends_with(" KB)")),
            "a size reads (n.nn GB), MB or KB");
    return 0;
}
