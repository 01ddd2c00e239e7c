#pragma once

/// Heap allocations the whole process has made since it started: every malloc, calloc, realloc
/// and aligned allocation, whoever made it (the host library, the loaded module, the standard
/// library's operator new, which allocates through malloc). Counted by the malloc that the
/// program linking allocation_counter.cpp puts in front of the C library's.
unsigned long HeapAllocations();
