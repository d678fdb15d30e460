// Standard error muted by descriptor; see muted_stderr.hpp.
#include "platform/muted_stderr.hpp"

#include <fcntl.h>
#include <unistd.h>

MutedStderr::MutedStderr()
{
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0 && dup2(null, STDERR_FILENO) >= 0)
        saved_ = saved;
    else if (saved >= 0)
        close(saved);
    if (null >= 0)
        close(null);
}

MutedStderr::~MutedStderr()
{
    if (saved_ < 0)
        return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}
