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
#include <vector>

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

// ATA PASS-THROUGH (16) for a command without data whose answer is the
// registers the drive returns (CK_COND set): the device ends it with sense
// data that carries them.
std::array<std::uint8_t, 16> buildAtaRegisterQuery16(const AtaRegisters& registers);

// The registers an ATA PASS-THROUGH command with CK_COND returned, from its
// sense data: the ATA Status Return descriptor (09h) of descriptor-format
// sense, or the fields of fixed-format sense, as SAT places them. Error comes
// back in `features`, status in `command`. Nullopt for sense data that
// carries none.
std::optional<AtaRegisters> ataRegistersFromSense(std::span<const std::uint8_t> sense);

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
    // A command without data that the device answers with sense data (good
    // status or CHECK CONDITION); the sense bytes it returned, or nullopt
    // when the command did not reach the device or the device failed it
    // otherwise.
    std::optional<std::vector<std::uint8_t>> senseOf(std::span<const std::uint8_t> commandBlock) const;

private:
    struct Outcome {
        bool completed = false;  // the device answered with a status
        bool good = false;       // ... and the status is GOOD without sense
        std::uint8_t status = 0;
        std::size_t received = 0;
        std::vector<std::uint8_t> sense;
    };

    explicit ScsiGenericDisk(UniqueFd fd) : fd_(std::move(fd)) {}
    std::optional<std::size_t> transfer(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const;
    Outcome issue(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const;

    UniqueFd fd_;
};

} // namespace orvel
