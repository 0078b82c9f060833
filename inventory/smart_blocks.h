#pragma once

#include "inventory/smart_attribute_slot.h"
#include "platform/smart_transport.h"

#include <cstdint>

namespace orvel {

// Decoding of the two 512-byte blocks a drive returns to SMART READ DATA and
// SMART READ THRESHOLDS. Both hold 30 entries of 12 bytes from offset 2.

// Copies attribute entry i into slot i (id, flags, current, worst, raw value)
// for every entry, and sets `temperatureC` to raw byte 0 of each entry with id
// 194 or 190, so that the later of the two in the table wins. Thresholds and
// slots past the 30th are left alone.
void applyAttributeData(const SmartBlock& data, SmartAttributeTable& slots, std::uint32_t& temperatureC);

// Sets the threshold of slot i from threshold entry i: the tables are paired
// by position, their ids are not compared.
void applyThresholds(const SmartBlock& thresholds, SmartAttributeTable& slots);

} // namespace orvel
