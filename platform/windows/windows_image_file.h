#pragma once

#include "platform/device_access.h"
#include "platform/windows/unique_handle.h"

#include <memory>
#include <string>

namespace orvel::windows {

// A file that receives an image. Transfers are unbuffered while the file
// system takes them; one it refuses for alignment (a 512-byte sector on a
// volume with 4096-byte sectors) makes the file buffered from then on.
class WindowsImageFile final : public DeviceHandle {
public:
    WindowsImageFile(UniqueHandle handle, bool unbuffered);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;

    // A file has no partition table, mounts or volume lock.
    LayoutDeletion deleteDriveLayout() override { return LayoutDeletion::Refused; }
    bool dismountVolume() override { return false; }
    bool lockVolume() override { return false; }

    bool isUnbuffered() const { return unbuffered_; }

private:
    template <typename Transfer>
    IoResult transfer(Transfer move);
    bool stopUnbufferedIo();

    UniqueHandle handle_;
    bool unbuffered_ = false;
};

// Creates the file or empties an existing one. A path that leads anywhere
// but to a file in a file system (a device such as \\.\PHYSICALDRIVE0, NUL
// or COM1) is refused before anything is opened, as is text that is not
// valid UTF-8.
std::unique_ptr<WindowsImageFile> createWindowsImageFile(const std::string& path);

} // namespace orvel::windows
