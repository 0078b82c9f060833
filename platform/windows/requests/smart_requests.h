#pragma once

#include "platform/smart_transport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvel::windows {

// The byte layouts of the disk driver's S.M.A.R.T. requests, packed as the
// driver reads them:
//   SENDCMDINPARAMS   cBufferSize (4), IDEREGS (8), bDriveNumber, 3 reserved,
//                     4 reserved words (16), bBuffer (1)            = 33 bytes
//   SENDCMDOUTPARAMS  cBufferSize (4), DRIVERSTATUS (12), bBuffer   = 17 bytes
//   GETVERSIONINPARAMS version, revision, reserved, device map,
//                     fCapabilities (4), 4 reserved words (16)      = 24 bytes
inline constexpr std::size_t kSendCommandInSize = 33;
inline constexpr std::size_t kSendCommandOutSize = 17;
inline constexpr std::size_t kSmartAnswerHeaderSize = 16;
inline constexpr std::size_t kGetVersionAnswerSize = 24;
// Room for the header and one whole data block.
inline constexpr std::size_t kSmartDataAnswerSize = kSendCommandOutSize + std::tuple_size_v<SmartBlock>;
// The header and the IDEREGS (8 bytes) that SMART RETURN STATUS returns.
inline constexpr std::size_t kReturnStatusAnswerSize = kSmartAnswerHeaderSize + 8;

using SendCommandIn = std::array<std::uint8_t, kSendCommandInSize>;

// The input of SMART_SEND_DRIVE_COMMAND or SMART_RCV_DRIVE_DATA: the
// registers, the drive number and the size of the data the command returns
// (0 for a command without data). Every other byte is 0.
SendCommandIn buildSendCommandIn(const AtaRegisters& registers, std::uint8_t driveNumber, std::uint32_t dataBytes);

// SMART_GET_VERSION's answer (the bytes the driver returned) reports that
// the drive takes S.M.A.R.T. commands (CAP_SMART_CMD).
bool reportsSmartCommands(std::span<const std::uint8_t> answer);

// The driver's own status in a SENDCMDOUTPARAMS answer is clean.
bool driverStatusClean(std::span<const std::uint8_t> answer);

// The data block of a SMART_RCV_DRIVE_DATA answer (the bytes the driver
// returned); nullopt when the driver reports an error or returned less than a
// whole block.
std::optional<SmartBlock> dataBlockOf(std::span<const std::uint8_t> answer);

// The registers a SMART_SEND_DRIVE_COMMAND answer returns (RETURN SMART
// STATUS): the IDEREGS after the status header, error in `features` and
// status in `command`; nullopt when the driver reports an error or returned
// less.
std::optional<AtaRegisters> returnedRegistersOf(std::span<const std::uint8_t> answer);

} // namespace orvel::windows
