#pragma once

#include "inventory/smart_attribute_slot.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// The texts of one row of the attribute list, column by column.
struct AttributeRow {
    std::string id;         // upper-case hexadecimal without leading zeros: "9", "C2"
    std::string name;       // AttributeName, empty for an unknown number
    std::string current;    // decimal
    std::string worst;      // decimal
    std::string threshold;  // decimal
    std::string raw;        // raw bytes 4 down to 0, ten lower-case hexadecimal digits
};

AttributeRow formatAttributeRow(const SmartAttributeSlot& slot);

// The ascending, case-insensitive text order in which list rows are kept by
// their label: "10" before "9", "BE" before "C" before "C2".
bool listLabelLess(std::string_view left, std::string_view right);

// The attributes a table holds (those before its first empty slot), in the
// order the attribute list shows them: by their ID text.
std::vector<const SmartAttributeSlot*> attributesInListOrder(const SmartAttributeTable& table);

} // namespace orvel
