#include "platform/linux/scsi_generic.h"

#include "platform/aligned_buffer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace orvel {

namespace {

constexpr std::uint8_t kAtaPassThrough16 = 0x85;
constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kEnableVitalProductData = 0x01;

// Byte 2 of ATA PASS-THROUGH for a PIO read: transfer from the device
// (T_DIR), length in blocks (BYTE_BLOCK), block count in the sector count
// field (T_LENGTH 2).
constexpr std::uint8_t kPioInTransfer = 0x08 | 0x04 | 0x02;
// Byte 2 of ATA PASS-THROUGH: return the registers in sense data (CK_COND).
constexpr std::uint8_t kCheckCondition = 0x20;

// Sense data formats (response codes, current and deferred) and where SAT
// puts the returned registers in each.
constexpr std::uint8_t kFixedSense = 0x70;
constexpr std::uint8_t kFixedSenseDeferred = 0x71;
constexpr std::uint8_t kDescriptorSense = 0x72;
constexpr std::uint8_t kDescriptorSenseDeferred = 0x73;
constexpr std::size_t kDescriptorsOffset = 8;
constexpr std::uint8_t kAtaStatusReturnDescriptor = 0x09;
constexpr std::size_t kAtaStatusReturnLength = 12;  // the descriptor's additional length
// Fixed format: "ATA PASS-THROUGH INFORMATION AVAILABLE", without which its
// fields mean something else.
constexpr std::uint8_t kPassThroughInformationAsc = 0x00;
constexpr std::uint8_t kPassThroughInformationAscq = 0x1D;
constexpr std::size_t kFixedSenseLength = 14;

constexpr std::uint8_t kStatusCheckCondition = 0x02;
constexpr unsigned kDriverSense = 0x08;  // the driver status that only says sense data came back

// A drive that is failing may take long to answer; a slow answer is still one.
constexpr unsigned kCommandTimeoutMs = 30000;
// The sg driver's first version with SG_IO.
constexpr int kFirstSgIoVersion = 30000;

int ioctlRetrying(int fd, unsigned long request, void* argument)
{
    int result;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace

std::array<std::uint8_t, 16> buildAtaPassThrough16(const AtaRegisters& registers, AtaProtocol protocol)
{
    std::array<std::uint8_t, 16> block{};
    block[0] = kAtaPassThrough16;
    block[1] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(protocol) << 1);
    block[2] = protocol == AtaProtocol::PioDataIn ? kPioInTransfer : 0;
    // 28-bit command: the high bytes of the 48-bit register pairs stay 0.
    block[4] = registers.features;
    block[6] = registers.sectorCount;
    block[8] = registers.sectorNumber;
    block[10] = registers.cylinderLow;
    block[12] = registers.cylinderHigh;
    block[13] = registers.driveHead;
    block[14] = registers.command;
    return block;
}

std::array<std::uint8_t, 16> buildAtaRegisterQuery16(const AtaRegisters& registers)
{
    std::array<std::uint8_t, 16> block = buildAtaPassThrough16(registers, AtaProtocol::NonData);
    block[2] = kCheckCondition;
    return block;
}

std::optional<AtaRegisters> ataRegistersFromSense(std::span<const std::uint8_t> sense)
{
    if (sense.empty())
        return std::nullopt;
    const std::uint8_t responseCode = sense[0] & 0x7F;
    if (responseCode == kDescriptorSense || responseCode == kDescriptorSenseDeferred) {
        if (sense.size() < kDescriptorsOffset)
            return std::nullopt;
        const std::size_t end = std::min(sense.size(), kDescriptorsOffset + sense[7]);
        for (std::size_t at = kDescriptorsOffset; at + 2 <= end; at += 2 + sense[at + 1]) {
            const std::uint8_t length = sense[at + 1];
            if (at + 2 + length > end)
                break;
            if (sense[at] == kAtaStatusReturnDescriptor && length >= kAtaStatusReturnLength) {
                const std::uint8_t* descriptor = sense.data() + at;
                return AtaRegisters{descriptor[3], descriptor[5],  descriptor[7], descriptor[9],
                                    descriptor[11], descriptor[12], descriptor[13]};
            }
        }
        return std::nullopt;
    }
    if (responseCode == kFixedSense || responseCode == kFixedSenseDeferred) {
        if (sense.size() < kFixedSenseLength || sense[12] != kPassThroughInformationAsc ||
            sense[13] != kPassThroughInformationAscq)
            return std::nullopt;
        return AtaRegisters{sense[3], sense[6], sense[9], sense[10], sense[11], sense[5], sense[4]};
    }
    return std::nullopt;
}

std::array<std::uint8_t, 6> buildVpdInquiry(std::uint8_t pageCode, std::uint16_t allocationLength)
{
    return {kInquiry, kEnableVitalProductData, pageCode, static_cast<std::uint8_t>(allocationLength >> 8),
            static_cast<std::uint8_t>(allocationLength & 0xFF), 0};
}

std::unique_ptr<ScsiGenericDisk> ScsiGenericDisk::open(const std::string& devicePath)
{
    // O_NONBLOCK: a removable drive without a medium still opens.
    UniqueFd fd(::open(devicePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return nullptr;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISBLK(status.st_mode))
        return nullptr;
    return std::unique_ptr<ScsiGenericDisk>(new ScsiGenericDisk(std::move(fd)));
}

bool ScsiGenericDisk::diskSequence(std::uint64_t& diskseq) const
{
    return ioctlRetrying(fd_.get(), BLKGETDISKSEQ, &diskseq) == 0;
}

bool ScsiGenericDisk::answersScsiGeneric() const
{
    int version = 0;
    return ioctlRetrying(fd_.get(), SG_GET_VERSION_NUM, &version) == 0 && version >= kFirstSgIoVersion;
}

bool ScsiGenericDisk::send(std::span<const std::uint8_t> commandBlock) const
{
    return transfer(commandBlock, {}).has_value();
}

std::optional<std::size_t> ScsiGenericDisk::receive(std::span<const std::uint8_t> commandBlock,
                                                    std::span<std::uint8_t> data) const
{
    if (data.empty())
        return std::nullopt;
    return transfer(commandBlock, data);
}

std::optional<std::vector<std::uint8_t>> ScsiGenericDisk::senseOf(std::span<const std::uint8_t> commandBlock) const
{
    const Outcome outcome = issue(commandBlock, {});
    if (!outcome.completed || (!outcome.good && outcome.status != kStatusCheckCondition))
        return std::nullopt;
    return outcome.sense;
}

std::optional<std::size_t> ScsiGenericDisk::transfer(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const
{
    const Outcome outcome = issue(commandBlock, data);
    if (!outcome.good)
        return std::nullopt;
    return outcome.received;
}

ScsiGenericDisk::Outcome ScsiGenericDisk::issue(std::span<const std::uint8_t> commandBlock,
                                                std::span<std::uint8_t> data) const
{
    Outcome outcome;
    // The block layer maps the caller's buffer for DMA; an aligned one never
    // needs a bounce copy.
    AlignedBuffer buffer;
    if (!data.empty() && !buffer.allocate(data.size()))
        return outcome;

    std::array<std::uint8_t, 16> command{};
    std::copy_n(commandBlock.begin(), std::min(commandBlock.size(), command.size()), command.begin());
    // Room for the ATA Status Return descriptor after others a translation
    // layer may put first.
    std::array<std::uint8_t, 64> sense{};

    sg_io_hdr_t request{};
    request.interface_id = 'S';
    request.cmdp = command.data();
    request.cmd_len = static_cast<unsigned char>(std::min(commandBlock.size(), command.size()));
    request.dxfer_direction = data.empty() ? SG_DXFER_NONE : SG_DXFER_FROM_DEV;
    request.dxferp = buffer.data();
    request.dxfer_len = static_cast<unsigned>(data.size());
    request.sbp = sense.data();
    request.mx_sb_len = static_cast<unsigned char>(sense.size());
    request.timeout = kCommandTimeoutMs;

    if (ioctlRetrying(fd_.get(), SG_IO, &request) != 0)
        return outcome;
    if (request.host_status != 0 || (request.driver_status & ~kDriverSense) != 0)
        return outcome;
    outcome.completed = true;
    outcome.status = request.status;
    outcome.good = (request.info & SG_INFO_OK_MASK) == SG_INFO_OK;
    outcome.sense.assign(sense.begin(), sense.begin() + std::min<std::size_t>(request.sb_len_wr, sense.size()));
    if (outcome.good) {
        const std::size_t residue =
            request.resid > 0 ? std::min(static_cast<std::size_t>(request.resid), data.size()) : 0;
        outcome.received = data.size() - residue;
        std::copy_n(buffer.data(), outcome.received, data.begin());
    }
    return outcome;
}

} // namespace orvel
