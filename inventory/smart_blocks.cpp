#include "inventory/smart_blocks.h"

#include <algorithm>
#include <cstddef>

namespace orvel {

namespace {

constexpr std::size_t kFirstEntryOffset = 2;
constexpr std::size_t kEntrySize = 12;

constexpr std::uint8_t kTemperatureId = 0xC2;
constexpr std::uint8_t kAirflowTemperatureId = 0xBE;

const std::uint8_t* entryAt(const SmartBlock& block, std::size_t index)
{
    return block.data() + kFirstEntryOffset + kEntrySize * index;
}

} // namespace

void applyAttributeData(const SmartBlock& data, SmartAttributeTable& slots, std::uint32_t& temperatureC)
{
    for (std::size_t i = 0; i < kSmartAttributeEntries; ++i) {
        const std::uint8_t* entry = entryAt(data, i);
        SmartAttributeSlot& slot = slots[i];
        slot.attributeId = entry[0];
        slot.statusFlags = static_cast<std::uint16_t>(entry[1] | (entry[2] << 8));
        slot.currentValue = entry[3];
        slot.worstValue = entry[4];
        std::copy_n(entry + 5, slot.rawValue.size(), slot.rawValue.begin());
        if (slot.attributeId == kTemperatureId || slot.attributeId == kAirflowTemperatureId)
            temperatureC = slot.rawValue[0];
    }
}

void applyThresholds(const SmartBlock& thresholds, SmartAttributeTable& slots)
{
    for (std::size_t i = 0; i < kSmartAttributeEntries; ++i)
        slots[i].threshold = entryAt(thresholds, i)[1];
}

} // namespace orvel
