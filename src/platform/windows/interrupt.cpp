// Interrupts on Windows: Ctrl-C and Ctrl-Break in the console, noted for the frame loop; see
// interrupt.hpp. The handler runs on a thread of the system's own and only sets a flag.
#include "platform/interrupt.hpp"

#include <windows.h>

#include <atomic>

namespace {
std::atomic<bool> interruptCame{false};

BOOL WINAPI noteInterrupt(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    // A second one has its default effect: the process ends.
    return interruptCame.exchange(true) ? FALSE : TRUE;
}
}  // namespace

bool catchInterrupts()
{
    return SetConsoleCtrlHandler(noteInterrupt, TRUE) != 0;
}

bool interrupted()
{
    return interruptCame;
}
