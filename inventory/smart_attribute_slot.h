#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace orvel {

// One S.M.A.R.T. attribute of a drive with its failure threshold.
struct SmartAttributeSlot {
    std::uint8_t attributeId = 0;  // 0 marks an empty slot and ends the table
    std::uint16_t statusFlags = 0;  // kept as the drive reports them, never shown
    std::uint8_t currentValue = 0;
    std::uint8_t worstValue = 0;
    std::array<std::uint8_t, 6> rawValue{};  // least significant byte first
    std::uint8_t threshold = 0;
};

// A drive's attribute table. The reader fills at most the first
// kSmartAttributeEntries slots, so every table ends with an empty slot.
inline constexpr std::size_t kSmartAttributeSlots = 256;
inline constexpr std::size_t kSmartAttributeEntries = 30;
using SmartAttributeTable = std::array<SmartAttributeSlot, kSmartAttributeSlots>;

} // namespace orvel
