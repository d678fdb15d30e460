// Watches every heap request of the test program: the largest size, and a count per thread.
// Normally malloc, calloc and realloc are replaced by versions that note the request and hand
// it on to the C library unchanged; under AddressSanitizer, which owns the heap, its hooks do.
#include "allocation_probe.hpp"

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define DEMO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DEMO_ASAN 1
#endif
#endif

namespace {
std::atomic<std::size_t> largest{0};
// Plain thread-locals of the executable itself: reading them never allocates.
thread_local std::size_t requests = 0;
thread_local int uncountedDepth = 0;

void note(std::size_t size)
{
    if (uncountedDepth == 0)
        ++requests;
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}
}  // namespace

#ifdef DEMO_ASAN
#include <sanitizer/allocator_interface.h>

namespace {
void onMalloc(const volatile void*, std::size_t size)
{
    note(size);
}
void onFree(const volatile void*) {}
[[maybe_unused]] const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}  // namespace
#else
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
}

extern "C" void* malloc(std::size_t size) noexcept
{
    note(size);
    return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) noexcept
{
    // An overflowing product is refused by the C library; note it as the largest possible.
    note(size != 0 && count > static_cast<std::size_t>(-1) / size ? static_cast<std::size_t>(-1)
                                                                   : count * size);
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, std::size_t size) noexcept
{
    note(size);
    return __libc_realloc(block, size);
}
#endif

void resetLargestAllocation()
{
    largest.store(0, std::memory_order_relaxed);
}

std::size_t largestAllocation()
{
    return largest.load(std::memory_order_relaxed);
}

std::size_t allocationsOnThisThread()
{
    return requests;
}

UncountedAllocations::UncountedAllocations()
{
    ++uncountedDepth;
}

UncountedAllocations::~UncountedAllocations()
{
    --uncountedDepth;
}
