#pragma once

#include "platform/device_access.h"
#include "platform/sim/sim_backing_file.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>

namespace orvel {

// An image file on the real file system, written with the same direct-I/O
// rules (512-byte units, aligned buffers) as a real image file.
class SimImageFile : public DeviceHandle {
public:
    // Creates the file or empties an existing one; null when it cannot be had.
    static std::unique_ptr<SimImageFile> create(const std::filesystem::path& path);
    // Opens an existing regular file to be read back; null when there is none.
    static std::unique_ptr<SimImageFile> open(const std::filesystem::path& path);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;
    // A file is neither a drive nor a volume.
    LayoutDeletion deleteDriveLayout() override { return LayoutDeletion::Refused; }
    bool dismountVolume() override { return false; }
    bool lockVolume() override { return false; }

private:
    SimImageFile() = default;

    std::mutex mutex_;
    SimBackingFile file_;
    std::uint64_t length_ = 0;
};

} // namespace orvel
