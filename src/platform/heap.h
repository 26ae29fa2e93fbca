// The platform heap behind the default allocator hooks.
#pragma once

#include <cstddef>

namespace pl::platform {

// A fixed block of `size` bytes, or null. The context is ignored.
void *heap_alloc(void *context, size_t size);
// Releases a block; non-zero on success, as the free hook contract asks.
int heap_free(void *context, void *block);

}  // namespace pl::platform
