#include "bench/allocation_counter.h"

#include <cerrno>
#include <cstddef>

// The program's own malloc family: each call is counted, then served by the C library's
// allocator, so memory from either side may be freed by either. A program that links this file
// must export these symbols (ENABLE_EXPORTS) so that shared libraries, including one loaded with
// dlopen, bind to them.

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

// Plain counter: malloc may be called before any constructor runs, and the measured programs
// allocate from one thread.
unsigned long allocations = 0;

bool PowerOfTwo(std::size_t value) {
  return value != 0 && (value & (value - 1)) == 0;
}

}  // namespace

unsigned long HeapAllocations() {
  return allocations;
}

extern "C" {

void* malloc(std::size_t size) {
  ++allocations;
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  ++allocations;
  return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
  ++allocations;
  return __libc_realloc(block, size);
}

void free(void* block) {
  __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
  ++allocations;
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  ++allocations;
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  if (!PowerOfTwo(alignment) || alignment % sizeof(void*) != 0) return EINVAL;
  ++allocations;
  void* allocated = __libc_memalign(alignment, size);
  if (allocated == nullptr) return ENOMEM;
  *block = allocated;
  return 0;
}

}  // extern "C"
