#pragma once

#include "platform/drive_catalog.h"

#include <string>
#include <string_view>

namespace orvel {

// Turns a serial number that older systems report as hexadecimal digits, with
// the two bytes of every 16-bit word exchanged, back into readable text.
// Only digits and upper-case letters survive; padding ("20", "0", "&", ".",
// "_") is stripped from both ends before decoding.
std::string DecodeLegacySerial(std::string_view encoded);

// The serial number a drive is listed with, from the value the system reports,
// the drive's interface type and the system's version. Systems before 6.2
// report internal drives' serials encoded; 5.2 reports nothing usable for USB
// drives. "USB" is compared case-sensitively.
std::string applySerialRules(const std::string& value, std::string_view interfaceType, OsVersion version);

} // namespace orvel
