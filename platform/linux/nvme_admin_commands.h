#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orvel {

// The 72 bytes of struct nvme_admin_cmd (<linux/nvme_ioctl.h>) that
// NVME_IOCTL_ADMIN_CMD takes, little-endian as the kernel reads them: opcode,
// flags, namespace id at 4, data address at 24, data length at 36, command
// dwords 10 to 15 from 40, timeout at 64 and the completion result at 68.
inline constexpr std::size_t kNvmeAdminCommandSize = 72;
using NvmeAdminCommand = std::array<std::uint8_t, kNvmeAdminCommandSize>;

inline constexpr std::uint8_t kNvmeHealthLogId = 0x02;
// Get Log Page for the whole controller rather than one namespace.
inline constexpr std::uint32_t kNvmeAllNamespaces = 0xFFFFFFFF;
inline constexpr std::size_t kNvmeIdentifySize = 4096;

// Get Log Page (opcode 02h) of `bytes` (a whole number of dwords) of log
// `logId` into the buffer at `bufferAddress`.
NvmeAdminCommand buildGetLogPage(std::uint8_t logId, std::uint32_t namespaceId, std::uint32_t bytes,
                                 std::uint64_t bufferAddress);

// Identify (opcode 06h) with CNS 01h: the 4096-byte Identify Controller data.
NvmeAdminCommand buildIdentifyController(std::uint64_t bufferAddress);

// What Identify Controller tells of the drive, blanks and NULs trimmed.
struct NvmeControllerIdentity {
    std::string serialNumber;      // bytes 4 to 23
    std::string model;             // bytes 24 to 63
    std::string firmwareRevision;  // bytes 64 to 71
};

// Empty texts for data shorter than the fields.
NvmeControllerIdentity parseIdentifyController(std::span<const std::uint8_t> data);

} // namespace orvel
