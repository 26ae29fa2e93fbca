// The arguments of a format whose directives do not name positions, read as the
// engine reaches each consumer: consumer k reads position k, so reading in the
// engine's order reads the va_list or calls the source's callbacks in exactly the
// order of collecting them first, without a walk of its own. A consumer nothing reads
// (a directive cut short) is read as an int when a later one is reached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "format/printf/argument_fetch.h"

namespace pl {

template <class Source>
class LazyArguments {
 public:
  explicit LazyArguments(Source source) : source_(source) {}

  uint64_t bits(size_t k, ArgKind kind, bool is_unsigned) { return read(k, kind, is_unsigned); }
  double real(size_t k, ArgKind kind) {
    uint64_t b = read(k, kind, false);
    double value;
    std::memcpy(&value, &b, sizeof value);
    return value;
  }
  const void *pointer(size_t k, ArgKind kind) {
    return reinterpret_cast<const void *>(static_cast<uintptr_t>(read(k, kind, false)));
  }
  // Reads the consumers up to `count` that nothing read, as collecting would have;
  // PL_OK, or PL_ERR_ARGUMENT when a callback was missing.
  int32_t finish(size_t count) {
    if constexpr (kCallbacks)
      while (next_ < count) read(next_, ArgKind::kInt, false);
    return missing_ ? PL_ERR_ARGUMENT : PL_OK;
  }
  bool missing() const { return missing_; }

 private:
  static constexpr bool kCallbacks = std::is_same_v<Source, const PLArgSource *>;

  uint64_t read(size_t k, ArgKind kind, bool is_unsigned) {
    while (next_ < k) fetch(ArgKind::kInt, false);
    if (next_ > k) return 0;
    return fetch(kind, is_unsigned);
  }
  uint64_t fetch(ArgKind kind, bool is_unsigned) {
    ++next_;
    if constexpr (kCallbacks) {
      uint64_t b = 0;
      if (!missing_ && !fetch_argument(*source_, kind, is_unsigned, &b)) missing_ = true;
      return b;
    } else {
      return fetch_argument(source_, kind);
    }
  }

  Source source_;
  size_t next_ = 0;
  bool missing_ = false;
};

}  // namespace pl
