#pragma once

#include "inventory/smart_attribute_slot.h"
#include "platform/smart_transport.h"

#include <cstdint>

namespace orvel {

// The ATA registers of the S.M.A.R.T. commands (feature set B0h). The
// drive/head register is A0h for every drive: the opened device selects it.
inline constexpr AtaRegisters kSmartEnableOperations{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
inline constexpr AtaRegisters kSmartReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
inline constexpr AtaRegisters kSmartReadThresholds{0xD1, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
inline constexpr AtaRegisters kSmartReturnStatus{0xDA, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

// What a drive answers to SMART RETURN STATUS.
enum class SmartVerdict {
    None,               // not asked, or no answer the drive could mean
    WithinThresholds,   // 4Fh/C2h in the LBA mid and high registers
    ThresholdExceeded,  // F4h/2Ch: a pre-failure attribute is at or below its threshold
};

// The verdict the registers a drive returned to SMART RETURN STATUS carry.
SmartVerdict verdictOfReturnedRegisters(const AtaRegisters& returned);

// Reads the attribute table and thresholds of drive `driveNumber` into
// `slots` and `temperatureC`, as far as the drive answers, and, with
// `askReturnStatus`, its own verdict while the device is open. Every failure
// is silent and leaves what was not read as it was; the device is closed
// again before the call returns. The drive number is carried at full width:
// on some systems it exceeds 255, and a cut number would address another
// disk.
SmartVerdict ReadSmartData(SmartTransport& transport, std::uint64_t driveNumber, SmartAttributeTable& slots,
                           std::uint32_t& temperatureC, bool askReturnStatus = false);

} // namespace orvel
