#include "support/allocator_hooks.h"

#include <cstdlib>

namespace pltest {

void *heap_alloc(void *context, size_t size) {
  Heap *heap = static_cast<Heap *>(context);
  long attempt = ++heap->attempts;
  if (attempt == heap->fail_at) return nullptr;
  void *block = std::malloc(size == 0 ? 1 : size);
  if (block != nullptr) {
    ++heap->allocations;
    ++heap->live;
  }
  return block;
}

int heap_free(void *context, void *block) {
  Heap *heap = static_cast<Heap *>(context);
  std::free(block);
  --heap->live;
  return heap->fail_frees ? 0 : 1;
}

}  // namespace pltest
