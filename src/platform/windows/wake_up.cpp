// The streaming thread's wait on Windows: an auto-reset event; see wake_up.hpp.
#include "platform/wake_up.hpp"

#include <windows.h>

#include <system_error>

namespace {
HANDLE eventOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}
}  // namespace

WakeUp::WakeUp() : handle_(reinterpret_cast<std::intptr_t>(CreateEventA(nullptr, FALSE, FALSE, nullptr)))
{
    if (handle_ == 0)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateEvent");
}

WakeUp::~WakeUp()
{
    CloseHandle(eventOf(handle_));
}

void WakeUp::wake()
{
    SetEvent(eventOf(handle_));
}

void WakeUp::wait(int milliseconds)
{
    WaitForSingleObject(eventOf(handle_), static_cast<DWORD>(milliseconds));
}

void WakeUp::clear()
{
    WaitForSingleObject(eventOf(handle_), 0);
}
