#include "platform/windows/windows_device_access.h"

#include "platform/windows/full_path.h"
#include "platform/windows/requests/device_paths.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_disk_handle.h"
#include "platform/windows/windows_image_file.h"

#include <windows.h>

namespace orvel::windows {

namespace {

std::unique_ptr<DeviceHandle> openDisk(const std::optional<std::string>& path, WindowsDiskHandle::Kind kind,
                                       OpenMode mode)
{
    if (!path)
        return nullptr;
    const std::optional<std::wstring> widePath = widen(*path);
    if (!widePath)
        return nullptr;
    const DWORD access = mode == OpenMode::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    UniqueHandle handle(::CreateFileW(widePath->c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS, nullptr));
    if (!handle)
        return nullptr;
    return std::make_unique<WindowsDiskHandle>(std::move(handle), kind, mode);
}

} // namespace

std::unique_ptr<DeviceHandle> WindowsDeviceAccess::openPhysicalDrive(std::string_view number, OpenMode mode)
{
    return openDisk(physicalDrivePath(number), WindowsDiskHandle::Kind::PhysicalDrive, mode);
}

std::unique_ptr<DeviceHandle> WindowsDeviceAccess::openVolume(std::string_view name, OpenMode mode)
{
    return openDisk(volumePath(name), WindowsDiskHandle::Kind::Volume, mode);
}

std::unique_ptr<DeviceHandle> WindowsDeviceAccess::createImageFile(const std::string& path)
{
    return createWindowsImageFile(path);
}

std::unique_ptr<DeviceHandle> WindowsDeviceAccess::openImageFile(const std::string& path)
{
    return openWindowsImageFile(path);
}

std::unique_ptr<DeviceHandle> WindowsDeviceAccess::continueImageFile(const std::string& path)
{
    return continueWindowsImageFile(path);
}

std::optional<std::uint64_t> WindowsDeviceAccess::freeSpace(const std::string& path)
{
    // The folder that will hold the file, not the path's first two
    // characters: those name no disk for a network path (\\server\share\...)
    // and the wrong one for a folder where another volume is mounted.
    const std::optional<std::wstring> fullPath = fullPathOf(path);
    if (!fullPath)
        return std::nullopt;
    const std::size_t lastSeparator = fullPath->find_last_of(L"\\/");
    if (lastSeparator == std::wstring::npos)
        return std::nullopt;
    const std::wstring folder = fullPath->substr(0, lastSeparator + 1);
    ULARGE_INTEGER availableToCaller{};
    if (!::GetDiskFreeSpaceExW(folder.c_str(), &availableToCaller, nullptr, nullptr))
        return std::nullopt;
    return availableToCaller.QuadPart;
}

std::optional<std::uint64_t> WindowsDeviceAccess::driveNumberOf(std::string_view devicePath)
{
    return driveNumberOfPath(devicePath);
}

} // namespace orvel::windows
