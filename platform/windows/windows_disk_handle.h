#pragma once

#include "platform/device_access.h"
#include "platform/windows/unique_handle.h"

namespace orvel::windows {

// A physical drive (\\.\PHYSICALDRIVEn) or a volume (\\.\D:) opened
// unbuffered.
class WindowsDiskHandle final : public DeviceHandle {
public:
    enum class Kind { PhysicalDrive, Volume };

    WindowsDiskHandle(UniqueHandle handle, Kind kind, OpenMode mode);

    IoResult readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes) override;
    IoResult writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes) override;
    bool queryLength(std::uint64_t& lengthBytes) override;
    IoResult flush() override;
    LayoutDeletion deleteDriveLayout() override;
    bool dismountVolume() override;
    bool lockVolume() override;

private:
    // A read past the end and a pulled medium can fail alike; a device that
    // shrank since it was opened to below the transfer's end is gone.
    IoResult classifyFailure(IoResult failure, std::uint64_t offset, std::uint32_t bytes);
    std::optional<std::uint64_t> driveLength();
    std::optional<std::uint64_t> partitionLength();

    UniqueHandle handle_;
    Kind kind_;
    OpenMode mode_;
    std::uint64_t openedLength_ = 0;  // 0 when the length could not be asked
};

} // namespace orvel::windows
