// Standard error muted by descriptor on Windows, pointed at NUL; see muted_stderr.hpp.
#include "platform/muted_stderr.hpp"

#include <fcntl.h>
#include <io.h>

namespace {
constexpr int kStderr = 2;
}

MutedStderr::MutedStderr()
{
    const int saved = _dup(kStderr);
    const int null = _open("NUL", _O_WRONLY);
    if (saved >= 0 && null >= 0 && _dup2(null, kStderr) == 0)
        saved_ = saved;
    else if (saved >= 0)
        _close(saved);
    if (null >= 0)
        _close(null);
}

MutedStderr::~MutedStderr()
{
    if (saved_ < 0)
        return;
    _dup2(saved_, kStderr);
    _close(saved_);
}
