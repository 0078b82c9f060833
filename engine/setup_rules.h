#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvel {

// A sector number or count typed by the operator: leading white space, an
// optional sign, the digits up to the first other character; no digits gives
// 0, overflow saturates. Read as signed 64-bit and used as unsigned from then on.
std::uint64_t parseSectorNumber(std::string_view text);

// An image path keeps a final ".img" (case-sensitive); anything else gets it appended.
std::string withImageExtension(std::string path);

// The size part of a drive entry in the set-up panels' lists, such as
// "(465.76 GB)": single precision, strict comparisons, so exactly 1 GiB is
// "(1024.00 MB)".
std::string setupEntrySizeText(std::uint64_t sizeBytes);

// The text of a physical drive's entry: model, ":  <serial> \r\n", size.
std::string setupDriveEntryText(const std::string& model, const std::string& serialNumber, std::uint64_t sizeBytes);

// The name openDevice takes for an entry: the digits that end a physical
// drive's device name, or a volume's whole device name.
std::string openNameOf(const std::string& deviceName, bool isPhysical);

} // namespace orvel
