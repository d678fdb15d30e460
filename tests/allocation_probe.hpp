// Watches the process's heap requests, so a test can tell that a call never asked for a
// large block, whether or not the pages were ever touched (which RSS alone would miss).
#pragma once

#include <cstddef>

// Forgets the largest request seen so far.
void resetLargestAllocation();
// The largest single malloc, calloc or realloc request, in bytes, since the last reset.
std::size_t largestAllocation();
