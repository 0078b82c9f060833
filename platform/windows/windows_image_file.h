#pragma once

#include "platform/device_access.h"
#include "platform/windows/unique_handle.h"

#include <memory>
#include <string>

namespace orvel::windows {

// A file that receives an image, or one read back. Transfers are unbuffered while the file
// system takes them; one it refuses for alignment (a 512-byte sector on a
// volume with 4096-byte sectors) makes the file buffered from then on.
class WindowsImageFile final : public DeviceHandle {
public:
    WindowsImageFile(UniqueHandle handle, bool unbuffered, DWORD access);

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
    DWORD access_ = 0;  // what the file was opened for, kept when it is reopened buffered
};

// Opens an existing image file for reading only (a restore or a
// verification); the same paths are refused as for creating one.
std::unique_ptr<WindowsImageFile> openWindowsImageFile(const std::string& path);

// Opens an existing image file for reading and writing, keeping its bytes.
std::unique_ptr<WindowsImageFile> continueWindowsImageFile(const std::string& path);

// Creates the file or empties an existing one. A path that leads anywhere
// but to a file in a file system (a device such as \\.\PHYSICALDRIVE0, NUL
// or COM1) is refused before anything is opened, as is text that is not
// valid UTF-8.
std::unique_ptr<WindowsImageFile> createWindowsImageFile(const std::string& path);

} // namespace orvel::windows
