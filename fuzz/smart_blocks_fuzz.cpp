// The decoding of the two 512-byte blocks a drive answers S.M.A.R.T. reads
// with. Input: the data block, then the thresholds block; what a short input
// leaves out stays zero.
#include "fuzz/fuzz_check.h"
#include "inventory/smart_blocks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

using orvel::fuzz::require;

namespace {

constexpr std::size_t kFirstEntryOffset = 2;
constexpr std::size_t kEntrySize = 12;
constexpr std::uint32_t kNoTemperature = 0xFFFFFFFF;

bool sameSlot(const orvel::SmartAttributeSlot& a, const orvel::SmartAttributeSlot& b)
{
    return a.attributeId == b.attributeId && a.statusFlags == b.statusFlags && a.currentValue == b.currentValue
        && a.worstValue == b.worstValue && a.rawValue == b.rawValue && a.threshold == b.threshold;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    // Each block alone in a heap allocation of its exact size: a read past
    // its 512 bytes is a heap overflow that AddressSanitizer reports.
    const auto data = std::make_unique<SmartBlock>();
    const auto thresholds = std::make_unique<SmartBlock>();
    const std::size_t dataBytes = std::min(size, data->size());
    std::copy_n(input, dataBytes, data->begin());
    std::copy_n(input + dataBytes, std::min(size - dataBytes, thresholds->size()), thresholds->begin());

    // Slots the blocks have no entry for carry a mark that must survive.
    SmartAttributeSlot untouched;
    untouched.attributeId = 0xA5;
    untouched.statusFlags = 0x5AA5;
    untouched.rawValue = {1, 2, 3, 4, 5, 6};
    untouched.threshold = 0x5A;
    const auto slots = std::make_unique<SmartAttributeTable>();
    slots->fill(untouched);
    std::uint32_t temperature = kNoTemperature;
    applyAttributeData(*data, *slots, temperature);
    applyThresholds(*thresholds, *slots);

    std::optional<std::uint8_t> lastTemperatureEntry;
    for (std::size_t i = 0; i < kSmartAttributeEntries; ++i) {
        const std::uint8_t* entry = data->data() + kFirstEntryOffset + kEntrySize * i;
        const SmartAttributeSlot& slot = (*slots)[i];
        require(slot.attributeId == entry[0], "a slot's id is its entry's byte 0");
        require(slot.statusFlags == (entry[1] | (entry[2] << 8)), "status flags are entry bytes 1-2, little-endian");
        require(slot.currentValue == entry[3] && slot.worstValue == entry[4], "current and worst are bytes 3 and 4");
        require(std::equal(slot.rawValue.begin(), slot.rawValue.end(), entry + 5), "the raw value is bytes 5-10");
        require(slot.threshold == (*thresholds)[kFirstEntryOffset + kEntrySize * i + 1],
                "the threshold is byte 1 of the threshold entry in the same position");
        if (entry[0] == 0xC2 || entry[0] == 0xBE)
            lastTemperatureEntry = entry[5];
    }
    for (std::size_t i = kSmartAttributeEntries; i < slots->size(); ++i)
        require(sameSlot((*slots)[i], untouched), "slots past the 30th entry are left alone");
    require(temperature == (lastTemperatureEntry ? *lastTemperatureEntry : kNoTemperature),
            "the temperature is raw byte 0 of the last temperature entry, and untouched without one");
    return 0;
}
