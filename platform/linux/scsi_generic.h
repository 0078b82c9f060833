#pragma once

#include "platform/linux/unique_fd.h"
#include "platform/smart_transport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>

namespace orvel {

// How an ATA command moves data, as ATA PASS-THROUGH numbers its protocols.
enum class AtaProtocol : std::uint8_t {
    NonData = 3,
    PioDataIn = 4,
};

// The ATA PASS-THROUGH (16) command block that carries `registers` to the
// drive. A PIO data-in command moves one 512-byte block, its length taken
// from the sector count register.
std::array<std::uint8_t, 16> buildAtaPassThrough16(const AtaRegisters& registers, AtaProtocol protocol);

// INQUIRY for the vital product data page `pageCode`.
std::array<std::uint8_t, 6> buildVpdInquiry(std::uint8_t pageCode, std::uint16_t allocationLength);

// A disk's device node opened for SCSI generic requests (SG_IO); closed when
// destroyed. Opened read-only: the requests need no write access, and closing
// a node opened for writing makes udev rescan the disk.
class ScsiGenericDisk {
public:
    // Null when the node cannot be opened or is not a block device.
    static std::unique_ptr<ScsiGenericDisk> open(const std::string& devicePath);

    // The kernel's sequence number of the opened disk; checked after opening
    // so that a disk renamed meanwhile is not mistaken for the one asked for.
    bool diskSequence(std::uint64_t& diskseq) const;

    // The disk takes SCSI generic requests at all (SG_GET_VERSION_NUM).
    bool answersScsiGeneric() const;

    // A command without data; true when the device reports good status.
    bool send(std::span<const std::uint8_t> commandBlock) const;
    // A command that returns data into `data`; the number of bytes the
    // device sent, or nullopt when the command failed.
    std::optional<std::size_t> receive(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const;

private:
    explicit ScsiGenericDisk(UniqueFd fd) : fd_(std::move(fd)) {}
    std::optional<std::size_t> transfer(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const;

    UniqueFd fd_;
};

} // namespace orvel
