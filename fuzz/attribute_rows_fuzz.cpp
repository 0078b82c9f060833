// The attribute list's texts and order for any table of slots. Input: slots
// of 12 bytes each (id, flags low and high, current, worst, six raw bytes,
// threshold), then two labels to compare.
#include "fuzz/fuzz_check.h"
#include "inventory/attribute_rows.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

using orvel::fuzz::require;

namespace {

constexpr std::size_t kSlotBytes = 12;

bool isUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
bool isLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

std::string upperCase(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void checkRow(const orvel::SmartAttributeSlot& slot)
{
    const orvel::AttributeRow row = orvel::formatAttributeRow(slot);
    require(!row.id.empty() && row.id.size() <= 2 && std::all_of(row.id.begin(), row.id.end(), isUpperHex),
            "the id is one or two upper-case hexadecimal digits");
    require(row.id.size() == 1 || row.id.front() != '0', "the id has no leading zero");
    require(std::stoul(row.id, nullptr, 16) == slot.attributeId, "the id reads back as the attribute number");
    require(row.current == std::to_string(slot.currentValue) && row.worst == std::to_string(slot.worstValue)
                && row.threshold == std::to_string(slot.threshold),
            "current, worst and threshold are decimal");
    require(row.raw.size() == 10 && std::all_of(row.raw.begin(), row.raw.end(), isLowerHex),
            "the raw value is ten lower-case hexadecimal digits");
    for (std::size_t byte = 0; byte < 5; ++byte)
        require(std::stoul(row.raw.substr(2 * (4 - byte), 2), nullptr, 16) == slot.rawValue[byte],
                "the raw text shows bytes 4 down to 0");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size)
{
    using namespace orvel;
    FuzzedDataProvider provider(input, size);
    const auto table = std::make_unique<SmartAttributeTable>();
    const std::size_t slotCount = provider.ConsumeIntegralInRange<std::size_t>(0, table->size());
    for (std::size_t i = 0; i < slotCount && provider.remaining_bytes() >= kSlotBytes; ++i) {
        const std::vector<std::uint8_t> bytes = provider.ConsumeBytes<std::uint8_t>(kSlotBytes);
        SmartAttributeSlot& slot = (*table)[i];
        slot.attributeId = bytes[0];
        slot.statusFlags = static_cast<std::uint16_t>(bytes[1] | (bytes[2] << 8));
        slot.currentValue = bytes[3];
        slot.worstValue = bytes[4];
        std::copy_n(bytes.begin() + 5, slot.rawValue.size(), slot.rawValue.begin());
        slot.threshold = bytes[11];
    }

    std::size_t listed = 0;
    while (listed < table->size() && (*table)[listed].attributeId != 0)
        ++listed;
    const std::vector<const SmartAttributeSlot*> ordered = attributesInListOrder(*table);
    require(ordered.size() == listed, "the list holds the slots before the first empty one");
    std::set<const SmartAttributeSlot*> distinct(ordered.begin(), ordered.end());
    require(distinct.size() == ordered.size(), "no slot is listed twice");
    for (const SmartAttributeSlot* slot : ordered)
        require(slot >= table->data() && slot < table->data() + listed, "only the table's listed slots appear");
    require(std::is_sorted(ordered.begin(), ordered.end(),
                           [](const SmartAttributeSlot* a, const SmartAttributeSlot* b) {
                               return listLabelLess(formatAttributeRow(*a).id, formatAttributeRow(*b).id);
                           }),
            "the list is in the order of its ID texts");
    for (const SmartAttributeSlot& slot : *table)
        checkRow(slot);

    const std::string left = provider.ConsumeRandomLengthString(64);
    const std::string right = provider.ConsumeRemainingBytesAsString();
    require(!listLabelLess(left, left), "no label sorts before itself");
    require(!(listLabelLess(left, right) && listLabelLess(right, left)), "two labels sort one way only");
    require(listLabelLess(left, right) == listLabelLess(upperCase(left), upperCase(right)),
            "the order ignores the case of letters");
    return 0;
}
