// Interrupts noted for the frame loop; see interrupt.hpp. The handler only sets a flag: the
// window library may not be called from it.
#include "platform/interrupt.hpp"

#include <csignal>

namespace {
volatile std::sig_atomic_t interruptCame = 0;

void noteInterrupt(int)
{
    interruptCame = 1;
}
}  // namespace

bool catchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    // Calls under way go on (SA_RESTART); the next signal has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

bool interrupted()
{
    return interruptCame != 0;
}
