// Watches the process's heap requests, so a test can tell that a call never asked for a
// large block, whether or not the pages were ever touched (which RSS alone would miss), and
// that a stretch of code on one thread asked for no memory at all.
#pragma once

#include <cstddef>

// Forgets the largest request seen so far.
void resetLargestAllocation();
// The largest single malloc, calloc or realloc request, in bytes, since the last reset.
std::size_t largestAllocation();

// Requests made so far on the calling thread (malloc, calloc, realloc, and operator new
// through them); a stretch of code is measured as the difference of two readings.
std::size_t allocationsOnThisThread();
// While one of these lives on a thread, that thread's requests are not counted: they are
// made on someone else's behalf (the GL driver's, say).
class UncountedAllocations {
public:
    UncountedAllocations();
    ~UncountedAllocations();
    UncountedAllocations(const UncountedAllocations&) = delete;
    UncountedAllocations& operator=(const UncountedAllocations&) = delete;
};
