#include "platform/terminal.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <io.h>

namespace orvel {

namespace {

std::atomic<bool> cancelRequested = false;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI rememberCancel(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    cancelRequested = true;
    return TRUE;
}

} // namespace

bool isTerminal(StandardStream stream)
{
    FILE* file = stream == StandardStream::Input ? stdin : stream == StandardStream::Output ? stdout : stderr;
    return ::_isatty(::_fileno(file)) != 0;
}

void watchCancelSignals()
{
    ::SetConsoleCtrlHandler(rememberCancel, TRUE);
}

bool cancelSignalReceived()
{
    return cancelRequested;
}

} // namespace orvel
