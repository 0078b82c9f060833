#include "windows/support/wine.h"

#include <windows.h>

namespace orvel::test {

bool runningUnderWine()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace orvel::test
