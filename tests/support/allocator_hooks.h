// Allocator hooks for the tests: one that counts live blocks, one that fails on
// chosen allocations, one whose free reports failure.
#pragma once

#include <atomic>
#include <cstddef>

namespace pltest {

// Pass a pointer to a Heap as the allocator context of PLInit together with
// heap_alloc and heap_free.
struct Heap {
  std::atomic<long> allocations{0};  // calls of the alloc hook that succeeded
  std::atomic<long> live{0};         // blocks not yet returned
  long fail_at = -1;                 // the 1-based allocation that returns null; -1 none
  bool fail_frees = false;           // the free hook releases but reports failure
  std::atomic<long> attempts{0};
};

void *heap_alloc(void *context, size_t size);
int heap_free(void *context, void *block);

}  // namespace pltest
