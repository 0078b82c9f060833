#pragma once

#include <string>
#include <string_view>

namespace orvel {

// pkexec strips WAYLAND_DISPLAY, so the desktop launcher hands the program
// run as root the absolute path of the user's Wayland socket. Root connects
// to it only when it is the invoking user's own: a socket (not a symbolic
// link, and reached through none) owned by the user whose uid pkexec gives
// in `invokingUid` (PKEXEC_UID), inside that user's runtime folder
// `<runtimeRoot>/<uid>/` (runtimeRoot is /run/user but for tests), itself a
// folder the user owns. `socketPath` must be spelt as the system would spell
// it: absolute, without ".", ".." or repeated separators.
//
// Empty when the socket is accepted, else why it is refused.
std::string waylandSocketRefusal(std::string_view socketPath, std::string_view runtimeRoot,
                                 std::string_view invokingUid);

} // namespace orvel
