#pragma once

#include "platform/smart_transport.h"

#include <memory>

namespace orvel::windows {

// S.M.A.R.T. commands through the disk driver's SMART_* requests to
// \\.\PHYSICALDRIVEn, and an NVMe drive's health log through the storage
// driver's protocol-specific property query.
std::unique_ptr<SmartTransport> makeWindowsSmartTransport();

} // namespace orvel::windows
