// Thread names on Windows (shown by debuggers and the system's tools); see thread_name.hpp.
// Looked up at run time: Windows has had the call only since Windows 10, and without it a
// thread simply goes unnamed.
#include "platform/thread_name.hpp"

#include <windows.h>

#include <string>

void nameThisThread(const char* name)
{
    using Describe = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    const auto describe = reinterpret_cast<Describe>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadDescription")));
    if (describe == nullptr)
        return;
    const std::wstring wide(name, name + std::char_traits<char>::length(name));
    describe(GetCurrentThread(), wide.c_str());
}
