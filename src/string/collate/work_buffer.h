// Work space of a collation call: inside the object for small sizes, else from the
// alloc hook. data() is null after a reservation that ran out of memory.
#pragma once

#include <cstddef>

#include "frame/memory.h"

namespace pl {

template <class T, size_t Inline>
class WorkBuffer {
 public:
  WorkBuffer() = default;
  explicit WorkBuffer(size_t count) { reserve(count); }
  ~WorkBuffer() { release(heap_); }
  WorkBuffer(const WorkBuffer &) = delete;
  WorkBuffer &operator=(const WorkBuffer &) = delete;

  // Room for `count` elements; what the buffer held is not kept. False (and a null
  // data()) when memory ran out.
  bool reserve(size_t count) {
    release(heap_);
    heap_ = nullptr;
    if (count <= Inline) {
      data_ = inline_;
      return true;
    }
    if (count <= static_cast<size_t>(-1) / sizeof(T))
      heap_ = static_cast<T *>(allocate(count * sizeof(T)));
    data_ = heap_;
    return data_ != nullptr;
  }

  T *data() const { return data_; }

 private:
  T inline_[Inline];
  T *heap_ = nullptr;
  T *data_ = inline_;
};

}  // namespace pl
