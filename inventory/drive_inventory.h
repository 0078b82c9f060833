#pragma once

#include "inventory/drive_info.h"
#include "platform/platform.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Owned records in the order the system listed them. Other code keeps plain
// pointers to the records; they stay valid until ClearInventory.
using DriveList = std::vector<std::unique_ptr<DriveInfo>>;

// The process-wide inventory. Nothing locks it: only one panel (or command)
// uses it at a time, and the GUI keeps the operator out while it is filled.
extern DriveList physicalDrives;
extern DriveList volumes;

// A message the operator must see, shown by the caller in a message box with
// an OK button only (the inventory itself shows nothing).
struct InventoryNotice {
    std::string text;
    std::string caption;
};

inline constexpr std::string_view kProxyBlanketFailedText = "Could not set proxy blanket. Error code ";
inline constexpr std::string_view kProxyBlanketFailedCaption = "Orvel Photo Recovery";

// Appends one record per physical drive to physicalDrives. With
// `readSerialAndSmart` each drive also gets its serial number and firmware
// revision and, unless it is on USB, its health data (S.M.A.R.T. attributes
// or NVMe health log) and temperature, and a running drive that predicts its
// own failure the status "Pred Fail" (where the system's status does not
// already carry the drive's verdict). Failures end the enumeration quietly,
// keeping what was appended so far.
void EnumeratePhysicalDrives(Platform& platform, bool readSerialAndSmart);

// Appends one record per volume to `volumes`, leaving out optical drives and
// volumes without a size. Returns the notice to show when the system's drive
// service refuses the call security; nothing otherwise.
std::optional<InventoryNotice> EnumerateVolumes(Platform& platform);

// Destroys every record of both lists.
void ClearInventory();

} // namespace orvel
