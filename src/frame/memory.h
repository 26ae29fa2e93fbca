// Every block of the library comes from the allocator hooks and goes back through them.
#pragma once

#include <cstddef>
#include <new>

#include "polyloc.h"

namespace pl {

// Stores the hooks for the next initialisation: a null hook selects the default,
// a null context keeps the stored one.
void set_allocator(PLAllocHook alloc, PLFreeHook release, void *context);

// A block of `size` bytes from the alloc hook, or null.
void *allocate(size_t size);
// Returns a block through the free hook; true when the hook reports success.
// A null block is accepted and succeeds.
bool release(void *block);

// A zero-initialised object of trivial type T from the alloc hook, or null.
template <class T>
T *create() {
  void *block = allocate(sizeof(T));
  return block ? new (block) T{} : nullptr;
}

// An array of `count` zero-initialised objects of trivial type T, or null.
template <class T>
T *create_array(size_t count) {
  if (count > static_cast<size_t>(-1) / sizeof(T)) return nullptr;
  void *block = allocate(count * sizeof(T));
  return block ? new (block) T[count]{} : nullptr;
}

// An array from the alloc hook, returned through the free hook when it goes out of
// scope; empty (null data) when the allocation failed.
template <class T>
class HeapArray {
 public:
  explicit HeapArray(size_t count) : data_(count > 0 ? create_array<T>(count) : nullptr) {}
  ~HeapArray() { release(data_); }
  HeapArray(const HeapArray &) = delete;
  HeapArray &operator=(const HeapArray &) = delete;

  T *data() const { return data_; }

 private:
  T *data_;
};

}  // namespace pl
