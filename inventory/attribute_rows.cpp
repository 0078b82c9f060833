#include "inventory/attribute_rows.h"

#include "inventory/attribute_catalogue.h"

#include <algorithm>
#include <cstdio>

namespace orvel {

namespace {

char foldCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

AttributeRow formatAttributeRow(const SmartAttributeSlot& slot)
{
    AttributeRow row;
    char id[8];
    std::snprintf(id, sizeof id, "%X", static_cast<unsigned>(slot.attributeId));
    row.id = id;
    row.name = AttributeName(slot.attributeId);
    row.current = std::to_string(slot.currentValue);
    row.worst = std::to_string(slot.worstValue);
    row.threshold = std::to_string(slot.threshold);

    // Raw byte 5 is vendor-specific on most drives and has never been shown.
    char raw[16];
    std::snprintf(raw, sizeof raw, "%02x%02x%02x%02x%02x", slot.rawValue[4], slot.rawValue[3], slot.rawValue[2],
                  slot.rawValue[1], slot.rawValue[0]);
    row.raw = raw;
    return row;
}

bool listLabelLess(std::string_view left, std::string_view right)
{
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) { return foldCase(a) < foldCase(b); });
}

std::vector<const SmartAttributeSlot*> attributesInListOrder(const SmartAttributeTable& table)
{
    struct Labelled {
        std::string label;
        const SmartAttributeSlot* slot;
    };
    std::vector<Labelled> rows;
    for (const SmartAttributeSlot& slot : table) {
        if (slot.attributeId == 0)
            break;
        rows.push_back({formatAttributeRow(slot).id, &slot});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Labelled& a, const Labelled& b) { return listLabelLess(a.label, b.label); });

    std::vector<const SmartAttributeSlot*> ordered;
    ordered.reserve(rows.size());
    for (const Labelled& row : rows)
        ordered.push_back(row.slot);
    return ordered;
}

} // namespace orvel
