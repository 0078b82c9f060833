// The log folder, the single-instance lock (a named mutex, across
// processes), the executable's folder and Ctrl+C.

#include "platform/executable_folder.h"
#include "platform/terminal.h"
#include "platform/windows/windows_system_services.h"

#include "windows/support/child_process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace orvel::windows {
namespace {

std::wstring currentFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, folder);
    return folder;
}

std::string thisProgram()
{
    const std::u8string path = (executableFolder() / "test_windows.exe").u8string();
    return std::string(path.begin(), path.end());
}

// A name of this test run's own, so that a running program's lock is never
// in the way (nor taken away).
std::string lockName(const char* purpose)
{
    return std::string("Orvel Disk Imager test ") + purpose + " " + std::to_string(::GetCurrentProcessId());
}

TEST(LogFolder, IsUsersOnDriveCAndLeavesTheCurrentFolderAlone)
{
    const std::wstring before = currentFolder();
    WindowsSystemServices services;
    EXPECT_EQ(services.logDirectory(), "C:\\Users");
    EXPECT_TRUE(std::filesystem::is_directory("C:\\Users"));
    EXPECT_EQ(currentFolder(), before);
}

TEST(InstanceLock, IsHeldUntilReleasedWithinTheProcess)
{
    WindowsSystemServices services;
    const std::string name = lockName("local");
    std::unique_ptr<InstanceLock> first = services.acquireInstanceLock(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(services.acquireInstanceLock(name), nullptr) << "a second holder while the first holds it";
    first.reset();
    EXPECT_NE(services.acquireInstanceLock(name), nullptr) << "released with its holder";
}

TEST(InstanceLock, AnotherProcessIsRefusedWhileThisOneHoldsIt)
{
    WindowsSystemServices services;
    const std::string name = lockName("held here");
    const std::unique_ptr<InstanceLock> held = services.acquireInstanceLock(name);
    ASSERT_NE(held, nullptr);
    test::ChildProcess second({thisProgram(), "--hold-instance-lock", name});
    ASSERT_TRUE(second.started()) << thisProgram();
    EXPECT_EQ(second.readLine(), "refused");
    second.closeInput();
    EXPECT_EQ(second.wait(), 0);
}

TEST(InstanceLock, GoesWithTheProcessThatHeldItHoweverItEnds)
{
    WindowsSystemServices services;
    const std::string name = lockName("held there");
    for (const bool crash : {false, true}) {
        test::ChildProcess holder({thisProgram(), "--hold-instance-lock", name});
        ASSERT_TRUE(holder.started()) << thisProgram();
        ASSERT_EQ(holder.readLine(), "held");
        EXPECT_EQ(services.acquireInstanceLock(name), nullptr) << "while the other process holds it";
        if (crash) {
            holder.terminate();
        } else {
            holder.closeInput();
            holder.wait();
        }
        EXPECT_NE(services.acquireInstanceLock(name), nullptr) << (crash ? "after a crash" : "after a clean end");
    }
}

TEST(InstanceLock, NamesInAnotherNamespaceAreRefused)
{
    WindowsSystemServices services;
    EXPECT_EQ(services.acquireInstanceLock("Global\\" + lockName("global")), nullptr);
    EXPECT_EQ(services.acquireInstanceLock(""), nullptr);
    EXPECT_EQ(services.acquireInstanceLock(std::string("cut\0short", 9)), nullptr);
}

TEST(ExecutableFolder, HoldsThisProgram)
{
    EXPECT_TRUE(std::filesystem::is_regular_file(executableFolder() / "test_windows.exe"))
        << executableFolder().string();
}

TEST(CancelSignals, CtrlBreakIsRememberedInsteadOfEndingTheProcess)
{
    // Sent to a second process of its own group, so that nothing else on
    // the console (the test runner) receives it.
    test::ChildProcess watcher({thisProgram(), "--watch-cancel"}, true);
    ASSERT_TRUE(watcher.started()) << thisProgram();
    ASSERT_EQ(watcher.readLine(), "watching");
    if (!::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, watcher.processId()))
        GTEST_SKIP() << "the system sends no Ctrl+Break here (error " << ::GetLastError()
                     << "): no console is shared, or Wine, which sends none";
    EXPECT_EQ(watcher.readLine(), "cancel received");
    EXPECT_EQ(watcher.wait(), 0) << "the process ended as Ctrl+Break ends it by default";
}

} // namespace
} // namespace orvel::windows
