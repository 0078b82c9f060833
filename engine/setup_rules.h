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

// A destination with larger sectors than the source's can only be written
// from one of its sector boundaries on. `destinationStart` counts source-sized
// sectors, as the range fields do. Empty when the start is one; else the
// message that refuses it.
std::string misalignedDestinationStartMessage(std::uint32_t sourceSectorSize, std::uint32_t destinationSectorSize,
                                              std::uint64_t destinationStart);

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
