#include "platform/linux/wayland_socket.h"

#include <charconv>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace orvel {

namespace {

std::optional<uid_t> parseUid(std::string_view text)
{
    // Digits only: from_chars alone would take "+1" or stop at "1x".
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    unsigned long value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || value >= static_cast<uid_t>(-1))
        return std::nullopt;
    return static_cast<uid_t>(value);
}

// The path with every symbolic link, ".", ".." and doubled separator resolved.
std::optional<std::string> resolved(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

} // namespace

std::string waylandSocketRefusal(std::string_view socketPath, std::string_view runtimeRoot,
                                 std::string_view invokingUid)
{
    const std::optional<uid_t> uid = parseUid(invokingUid);
    if (!uid)
        return "the invoking user's id \"" + std::string(invokingUid) + "\" is not a user id";

    const std::string path(socketPath);
    const std::string userFolder = std::string(runtimeRoot) + "/" + std::to_string(*uid);
    if (!path.starts_with(userFolder + "/") || path.size() == userFolder.size() + 1)
        return path + " is not in " + userFolder + "/";

    // Compared as resolved, so that neither a link nor ".." leads elsewhere.
    if (resolved(path) != path)
        return path + " is reached through a symbolic link, \".\" or \"..\", or is missing";

    struct stat folder {};
    if (::lstat(userFolder.c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode) || folder.st_uid != *uid)
        return userFolder + " is not a folder of the invoking user";

    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0 || !S_ISSOCK(entry.st_mode))
        return path + " is not a socket";
    if (entry.st_uid != *uid)
        return path + " is not the invoking user's";
    return {};
}

} // namespace orvel
