#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orvel::sysfs {

// The serial number in a unit serial number page (VPD 80h) as a disk returns
// it, blanks and NULs trimmed; nullopt for another page, a short page or an
// empty serial.
std::optional<std::string> parseUnitSerialPage(std::span<const std::uint8_t> page);

// The full model text of an ATA disk from its ATA information page (VPD 89h),
// which carries the disk's IDENTIFY DEVICE data; the SCSI product field cuts
// ATA models to 16 characters. Nullopt for another page or an empty model.
std::optional<std::string> parseAtaInformationModel(std::span<const std::uint8_t> page);

} // namespace orvel::sysfs
