// orvel-disk-image-wayland SOCKET [ARGUMENTS...]: started as root by pkexec
// from the desktop launcher on a Wayland session. pkexec strips
// WAYLAND_DISPLAY, so the launcher passes the user's socket by its absolute
// path; once it is known to be the invoking user's own, the program starts
// on Qt's wayland platform with it and nothing else of the user's session.
#include "platform/linux/wayland_socket.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <span>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    const std::span<char*> arguments(argv, static_cast<std::size_t>(argc));
    if (arguments.size() < 2) {
        std::cerr << "Usage: orvel-disk-image-wayland SOCKET [ARGUMENTS...] (started by pkexec)\n";
        return 2;
    }
    const char* uid = std::getenv("PKEXEC_UID");
    const std::string refusal = orvel::waylandSocketRefusal(arguments[1], "/run/user", uid != nullptr ? uid : "");
    if (!refusal.empty()) {
        std::cerr << "orvel-disk-image: the Wayland display is refused: " << refusal << ".\n";
        return 1;
    }

    // The user's runtime folder is never named to root, which would leave
    // files of its own there; libwayland needs only the socket's path.
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("WAYLAND_DISPLAY", arguments[1], 1);
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);

    std::vector<char*> program{const_cast<char*>(ORVEL_PACKAGE_PROGRAM)};
    program.insert(program.end(), arguments.begin() + 2, arguments.end());
    program.push_back(nullptr);
    ::execv(ORVEL_PACKAGE_PROGRAM, program.data());
    std::cerr << "orvel-disk-image: cannot start " << ORVEL_PACKAGE_PROGRAM << ": " << std::strerror(errno) << ".\n";
    return 1;
}
