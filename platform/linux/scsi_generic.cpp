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

std::optional<std::size_t> ScsiGenericDisk::transfer(std::span<const std::uint8_t> commandBlock, std::span<std::uint8_t> data) const
{
    // The block layer maps the caller's buffer for DMA; an aligned one never
    // needs a bounce copy.
    AlignedBuffer buffer;
    if (!data.empty() && !buffer.allocate(data.size()))
        return std::nullopt;

    std::array<std::uint8_t, 16> command{};
    std::copy_n(commandBlock.begin(), std::min(commandBlock.size(), command.size()), command.begin());
    std::array<std::uint8_t, 32> sense{};

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

    if (ioctlRetrying(fd_.get(), SG_IO, &request) != 0 || (request.info & SG_INFO_OK_MASK) != SG_INFO_OK)
        return std::nullopt;
    const std::size_t residue =
        request.resid > 0 ? std::min(static_cast<std::size_t>(request.resid), data.size()) : 0;
    const std::size_t received = data.size() - residue;
    std::copy_n(buffer.data(), received, data.begin());
    return received;
}

} // namespace orvel
