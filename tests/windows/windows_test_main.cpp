// test_windows runs its tests. Started with one of these, it is instead the
// second process that a test needs:
//   --hold-instance-lock NAME  takes the lock, says "held" or "refused", and
//                              keeps the lock until its input ends;
//   --watch-cancel             watches for Ctrl+C and Ctrl+Break, says
//                              "watching", then "cancel received" once one
//                              arrives (it gives up after ten seconds).

#include "platform/terminal.h"
#include "platform/windows/windows_system_services.h"

#include <windows.h>

#include <gmock/gmock.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

namespace {

int holdInstanceLock(const std::string& name)
{
    orvel::windows::WindowsSystemServices services;
    const std::unique_ptr<orvel::InstanceLock> lock = services.acquireInstanceLock(name);
    std::cout << (lock ? "held" : "refused") << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
    return 0;
}

int watchCancel()
{
    orvel::watchCancelSignals();
    std::cout << "watching" << std::endl;
    for (int wait = 0; wait < 1000 && !orvel::cancelSignalReceived(); ++wait)
        ::Sleep(10);
    std::cout << (orvel::cancelSignalReceived() ? "cancel received" : "no cancel") << std::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string_view(argv[1]) == "--hold-instance-lock")
        return holdInstanceLock(argv[2]);
    if (argc == 2 && std::string_view(argv[1]) == "--watch-cancel")
        return watchCancel();
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
