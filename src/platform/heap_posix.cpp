#include "platform/heap.h"

#include <cstdlib>

namespace pl::platform {

void *heap_alloc(void *, size_t size) { return std::malloc(size == 0 ? 1 : size); }

int heap_free(void *, void *block) {
  std::free(block);
  return 1;
}

}  // namespace pl::platform
