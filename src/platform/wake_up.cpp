// The streaming thread's wait on Linux: an eventfd, polled with a relative timeout; see
// wake_up.hpp.
#include "platform/wake_up.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

WakeUp::WakeUp() : handle_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
    if (handle_ < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

WakeUp::~WakeUp()
{
    close(static_cast<int>(handle_));
}

void WakeUp::wake()
{
    const std::uint64_t one = 1;
    while (write(static_cast<int>(handle_), &one, sizeof one) < 0 && errno == EINTR) {}
}

void WakeUp::wait(int milliseconds)
{
    pollfd woken{static_cast<int>(handle_), POLLIN, 0};
    if (poll(&woken, 1, milliseconds) > 0)
        clear();
}

void WakeUp::clear()
{
    std::uint64_t count = 0;
    while (read(static_cast<int>(handle_), &count, sizeof count) < 0 && errno == EINTR) {}
}
