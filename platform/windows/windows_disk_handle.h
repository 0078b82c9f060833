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
    bool deleteDriveLayout() override;
    bool dismountVolume() override;
    bool lockVolume() override;

private:
    std::optional<std::uint64_t> driveLength();
    std::optional<std::uint64_t> partitionLength();

    UniqueHandle handle_;
    Kind kind_;
    OpenMode mode_;
};

} // namespace orvel::windows
