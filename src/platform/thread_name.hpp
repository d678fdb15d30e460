// The name a thread goes by in the system's tools (and in the tests' view of the process).
#pragma once

// Names the calling thread (up to 15 characters).
void nameThisThread(const char* name);
