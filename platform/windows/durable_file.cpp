#include "platform/durable_file.h"

#include "platform/windows/full_path.h"
#include "platform/windows/unique_handle.h"

#include <algorithm>
#include <optional>

namespace orvel {

namespace {

bool writeAll(HANDLE file, std::string_view text)
{
    while (!text.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0)
            return false;
        text.remove_prefix(written);
    }
    return true;
}

} // namespace

bool replaceFileDurably(const std::string& path, std::string_view contents)
{
    const std::optional<std::wstring> target = windows::fullPathOf(path);
    const std::optional<std::wstring> temporary = windows::fullPathOf(path + ".tmp");
    if (!target || !temporary)
        return false;
    bool written = false;
    {
        const windows::UniqueHandle file(::CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        written = writeAll(file.get(), contents) && ::FlushFileBuffers(file.get());
    }
    // Write-through: the rename is on the disk when the call returns.
    if (!written ||
        !::MoveFileExW(temporary->c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary->c_str());
        return false;
    }
    return true;
}

} // namespace orvel
