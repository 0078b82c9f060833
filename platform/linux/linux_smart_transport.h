#pragma once

#include "platform/smart_transport.h"

#include <memory>

namespace orvel {

// S.M.A.R.T. commands to the machine's disks: drive N is the whole disk whose
// sequence number is N, and the commands travel as ATA PASS-THROUGH (16)
// through SG_IO. Disks without SCSI generic support (NVMe, virtio, loop) do
// not qualify. An NVMe namespace's health log is read from its controller
// (found through sysfs) with NVME_IOCTL_ADMIN_CMD.
std::unique_ptr<SmartTransport> makeLinuxSmartTransport();

} // namespace orvel
