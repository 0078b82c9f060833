#include "platform/windows/windows_image_file.h"

#include "platform/windows/full_path.h"
#include "platform/windows/handle_io.h"
#include "platform/windows/requests/device_paths.h"
#include "platform/windows/wide_text.h"

#include <utility>

namespace orvel::windows {

namespace {

constexpr DWORD kWriteAccess = GENERIC_READ | GENERIC_WRITE;
// Others may read the image while it is written. Write sharing is what lets
// the file be opened a second time, buffered, should unbuffered transfers be
// refused.
constexpr DWORD kSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

std::unique_ptr<WindowsImageFile> openFile(const std::string& path, DWORD access, DWORD disposition)
{
    const std::optional<std::wstring> fullPath = fullPathOf(path);
    if (!fullPath || !isFileSystemPath(narrow(*fullPath)))
        return nullptr;

    UniqueHandle handle(::CreateFileW(fullPath->c_str(), access, kSharing, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_NO_BUFFERING | FILE_FLAG_RANDOM_ACCESS,
                                      nullptr));
    // Whatever the path turned out to lead to, only a file on a disk is an image.
    if (!handle || ::GetFileType(handle.get()) != FILE_TYPE_DISK)
        return nullptr;
    return std::make_unique<WindowsImageFile>(std::move(handle), true, access);
}

} // namespace

WindowsImageFile::WindowsImageFile(UniqueHandle handle, bool unbuffered, DWORD access)
    : handle_(std::move(handle)), unbuffered_(unbuffered), access_(access)
{
}

template <typename Transfer>
IoResult WindowsImageFile::transfer(Transfer move)
{
    const IoResult result = move(handle_.get());
    if (result.ok || result.error != ERROR_INVALID_PARAMETER || !unbuffered_ || !stopUnbufferedIo())
        return result;
    return move(handle_.get());
}

bool WindowsImageFile::stopUnbufferedIo()
{
    UniqueHandle buffered(::ReOpenFile(handle_.get(), access_, kSharing, FILE_FLAG_RANDOM_ACCESS));
    if (!buffered)
        return false;
    handle_ = std::move(buffered);
    unbuffered_ = false;
    return true;
}

IoResult WindowsImageFile::readAt(std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    return transfer([&](HANDLE handle) { return readExactAt(handle, offset, buffer, bytes); });
}

IoResult WindowsImageFile::writeAt(std::uint64_t offset, const void* buffer, std::uint32_t bytes)
{
    return transfer([&](HANDLE handle) { return writeExactAt(handle, offset, buffer, bytes); });
}

bool WindowsImageFile::queryLength(std::uint64_t& lengthBytes)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle_.get(), &size) || size.QuadPart < 0)
        return false;
    lengthBytes = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

IoResult WindowsImageFile::flush()
{
    return flushHandle(handle_.get());
}

std::unique_ptr<WindowsImageFile> openWindowsImageFile(const std::string& path)
{
    return openFile(path, GENERIC_READ, OPEN_EXISTING);
}

std::unique_ptr<WindowsImageFile> continueWindowsImageFile(const std::string& path)
{
    return openFile(path, kWriteAccess, OPEN_EXISTING);
}

std::unique_ptr<WindowsImageFile> createWindowsImageFile(const std::string& path)
{
    return openFile(path, kWriteAccess, CREATE_ALWAYS);
}

} // namespace orvel::windows
