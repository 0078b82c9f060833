#pragma once

#include "platform/device_access.h"
#include "platform/linux/unique_fd.h"

namespace orvel {

// A regular file that receives an image, or one read back. Transfers are direct while the file
// system takes them; a transfer it refuses for alignment (a 512-byte sector
// on a file system with 4096-byte blocks) goes through the page cache instead,
// from then on. The file is written sparse: zeros become holes, which read
// back as zeros, so an image of a mostly empty drive takes little more
// storage than the drive's data.
class LinuxImageFile final : public DeviceHandle {
public:
    LinuxImageFile(UniqueFd fd, bool direct);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;

    // A file has no partition table, mounts or volume lock.
    LayoutDeletion deleteDriveLayout() override { return LayoutDeletion::Refused; }
    bool dismountVolume() override { return false; }
    bool lockVolume() override { return false; }

    bool isDirect() const { return direct_; }

private:
    template <typename Transfer>
    IoResult transfer(Transfer move);
    bool stopDirectIo();
    IoResult writeExactly(std::uint64_t offset, const void* buffer, std::uint32_t bytes);
    IoResult writeZeros(std::uint64_t offset, const void* zeros, std::uint32_t bytes);

    UniqueFd fd_;
    bool direct_ = false;
    bool canPunch_ = true;
};

// Opens an existing image read-only, for a restore or a verification. Links
// are not followed, and anything but a regular file is refused.
std::unique_ptr<LinuxImageFile> openLinuxImageFile(const std::string& path);

// Opens an existing image for reading and writing, keeping its bytes.
std::unique_ptr<LinuxImageFile> continueLinuxImageFile(const std::string& path);

// Creates the file or empties an existing one (mode 0644). Anything at the
// path that is not a regular file is left alone and the call fails.
std::unique_ptr<LinuxImageFile> createLinuxImageFile(const std::string& path);

} // namespace orvel
