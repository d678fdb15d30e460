// Thread names on Linux; see thread_name.hpp.
#include "platform/thread_name.hpp"

#include <pthread.h>

void nameThisThread(const char* name)
{
    pthread_setname_np(pthread_self(), name);
}
