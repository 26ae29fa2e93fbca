#include "frame/memory.h"

#include "platform/heap.h"

namespace pl {
namespace {

PLAllocHook g_alloc = platform::heap_alloc;
PLFreeHook g_free = platform::heap_free;
void *g_context = nullptr;

}  // namespace

void set_allocator(PLAllocHook alloc, PLFreeHook release, void *context) {
  g_alloc = alloc ? alloc : platform::heap_alloc;
  g_free = release ? release : platform::heap_free;
  if (context != nullptr) g_context = context;
}

void *allocate(size_t size) { return g_alloc(g_context, size); }

bool release(void *block) { return block == nullptr || g_free(g_context, block) != 0; }

}  // namespace pl
