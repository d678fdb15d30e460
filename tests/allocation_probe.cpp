// Replaces malloc, calloc and realloc for the whole test program with versions that note the
// largest request, then hand it to the C library's own allocator unchanged.
#include "allocation_probe.hpp"

#include <atomic>
#include <cstddef>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
}

namespace {
std::atomic<std::size_t> largest{0};

void note(std::size_t size)
{
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}
}  // namespace

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

void resetLargestAllocation()
{
    largest.store(0, std::memory_order_relaxed);
}

std::size_t largestAllocation()
{
    return largest.load(std::memory_order_relaxed);
}
