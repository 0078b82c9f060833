#pragma once

#include "platform/linux/nvme_admin_commands.h"
#include "platform/linux/sysfs_block_tree.h"
#include "platform/linux/unique_fd.h"
#include "platform/smart_transport.h"

#include <memory>
#include <optional>
#include <span>
#include <string>

namespace orvel {

// The kernel name of the NVMe controller ("nvme0") that serves the namespace
// disk `kernelName` ("nvme0n1"), from sysfs: the disk's device, or, for the
// disk of a multipath subsystem, the first controller of the subsystem.
// Nullopt for a disk that is no NVMe namespace.
std::optional<std::string> findNvmeController(const sysfs::SystemRoots& roots, const std::string& kernelName);

// An NVMe controller's character device (/dev/nvme0) opened for admin
// commands; closed when destroyed. Opened read-only: the commands used here
// only read.
class NvmeController {
public:
    // Null when the node cannot be opened or is not a character device.
    static std::unique_ptr<NvmeController> open(const std::string& devicePath);

    // The SMART / Health Information log for all namespaces.
    std::optional<NvmeHealthPage> readHealthLog() const;
    std::optional<NvmeControllerIdentity> identify() const;

private:
    explicit NvmeController(UniqueFd fd) : fd_(std::move(fd)) {}
    // Runs the command that `build` makes for a buffer of data.size() bytes
    // and copies what the controller returned into `data`.
    bool adminCommand(NvmeAdminCommand (*build)(std::uint64_t bufferAddress), std::span<std::uint8_t> data) const;

    UniqueFd fd_;
};

} // namespace orvel
