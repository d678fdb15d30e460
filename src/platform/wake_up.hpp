// How the sound engine's streaming thread rests between its looks at the queue: a wait with a
// timeout that a command from another thread cuts short. The timeout is relative, so a clock
// shifted or sped up under the process (as in the tests) can't stretch it.
#pragma once

#include <cstdint>

class WakeUp {
public:
    // Throws std::system_error when the system gives none.
    WakeUp();
    ~WakeUp();
    WakeUp(const WakeUp&) = delete;
    WakeUp& operator=(const WakeUp&) = delete;

    // Ends the current or the next wait.
    void wake();
    // Waits until woken or `milliseconds` have passed; a wake that came before counts.
    void wait(int milliseconds);
    // Forgets a wake that came when no one waited.
    void clear();

private:
    std::intptr_t handle_;  // the system's object: an eventfd, or a Windows event
};
