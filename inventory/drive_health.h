#pragma once

#include "inventory/drive_info.h"
#include "platform/smart_transport.h"

#include <cstdint>
#include <string_view>

namespace orvel {

// The Status of a running drive, and of one that predicts its own failure.
inline constexpr std::string_view kStatusOk = "OK";
inline constexpr std::string_view kStatusPredFail = "Pred Fail";

// What a drive record holds about the drive's health.
enum class HealthData {
    None,  // the drive did not answer, or was not asked (USB)
    Ata,   // an attribute table
    Nvme,  // an NVMe health log
};

HealthData healthDataOf(const DriveInfo& drive);

// Reads what drive `driveNumber` tells of its own health into `drive`: the
// NVMe SMART / Health log of an NVMe drive, else the ATA attribute table, and
// the temperature from either (an NVMe drive's composite temperature). With
// `takeVerdict` the drive's own verdict is asked too, and a drive that
// predicts its failure (an NVMe critical warning, an ATA threshold exceeded)
// gets the status "Pred Fail". A drive that does not answer is left as it was.
void ReadDriveHealth(SmartTransport& transport, std::uint64_t driveNumber, bool takeVerdict, DriveInfo& drive);

} // namespace orvel
