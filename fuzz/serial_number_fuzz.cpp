// The serial number rules, DecodeLegacySerial above all, on any text a system
// reports. Input: the interface type, the system's version, then the value.
#include "fuzz/fuzz_check.h"
#include "inventory/serial_number.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

using orvel::fuzz::require;

namespace {

bool isSerialCharacter(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    FuzzedDataProvider provider(input, size);
    const std::string interfaceType = provider.ConsumeBool() ? std::string("USB") : provider.ConsumeRandomLengthString(8);
    OsVersion version;
    version.major = provider.ConsumeIntegralInRange<std::uint32_t>(0, 12);
    version.minor = provider.ConsumeIntegralInRange<std::uint32_t>(0, 4);
    const std::string value = provider.ConsumeRemainingBytesAsString();

    const std::string decoded = DecodeLegacySerial(value);
    require(std::all_of(decoded.begin(), decoded.end(), isSerialCharacter),
            "a decoded serial holds only digits and upper-case letters");
    require(decoded.size() <= (value.size() + 1) / 2, "every decoded character comes from two digits");

    const std::string listed = applySerialRules(value, interfaceType, version);
    require(listed == value || listed == decoded || listed.empty(),
            "a listed serial is the value, its decoding or nothing");
    return 0;
}
