// The arguments of one printf call, collected before any output: a table with one row
// per consumer (a * width or precision, or a conversion) naming the position it reads,
// the kind of each position, and an array holding each position's value. 64-bit and
// floating values live in 8-byte cells the array points to. Everything comes from the
// allocator hooks and goes back when the list is destroyed.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "polyloc.h"

namespace pl {

enum class ArgKind : uint8_t {
  kInt,  // 0: also every position no directive names
  kPointer,
  kLong,
  kShort,
  kWideChar,
  kDouble,
  kLongDouble,
  kInt64,
  kWideString,
  kChar,
  kString,
  kUnicodeChar,
  kUnicodeString,
};

inline bool held_in_cell(ArgKind kind) {
  return kind == ArgKind::kDouble || kind == ArgKind::kLongDouble || kind == ArgKind::kInt64;
}
inline bool is_pointer(ArgKind kind) {
  return kind == ArgKind::kPointer || kind == ArgKind::kWideString ||
         kind == ArgKind::kString || kind == ArgKind::kUnicodeString;
}

class ArgumentList {
 public:
  struct Row {
    int32_t position;     // of the consumer with this row's number
    int32_t kind;         // of the position with this row's number
    int32_t is_unsigned;  // of the position with this row's number
  };

  ArgumentList() = default;
  ~ArgumentList();
  ArgumentList(const ArgumentList &) = delete;
  ArgumentList &operator=(const ArgumentList &) = delete;

  // Room for `count` consumers and positions; false when an allocation failed.
  bool allocate(size_t count);
  size_t count() const { return count_; }
  Row *rows() { return rows_; }

  // Reads every position's value, in position order; the result is a code (0, or
  // PL_ERR_NO_MEMORY... as the call reports it).
  int32_t fetch(va_list *args);
  int32_t fetch(const PLArgSource &source);

  // The value a consumer reads. A position whose kind does not hold what the consumer
  // wants (two directives naming one position with different kinds) gives its bits,
  // and never a pointer.
  uint64_t bits(size_t consumer) const {
    if (consumer >= count_) return 0;
    size_t p = static_cast<size_t>(rows_[consumer].position);
    if (!held_in_cell(kind(p))) return slots_[p];
    uint64_t value;
    std::memcpy(&value, reinterpret_cast<const void *>(slots_[p]), sizeof value);
    return value;
  }
  double real(size_t consumer) const {
    double value = 0;
    if (consumer < count_ && held_in_cell(kind(position(consumer)))) {
      uint64_t b = bits(consumer);
      std::memcpy(&value, &b, sizeof value);
    }
    return value;
  }
  const void *pointer(size_t consumer) const {
    if (consumer >= count_ || !is_pointer(kind(position(consumer)))) return nullptr;
    return reinterpret_cast<const void *>(slots_[position(consumer)]);
  }

 private:
  size_t position(size_t consumer) const { return static_cast<size_t>(rows_[consumer].position); }
  ArgKind kind(size_t p) const { return static_cast<ArgKind>(rows_[p].kind); }
  // Stores an 8-byte value in a new cell; false when the allocation failed.
  bool put_cell(size_t p, const void *value);

  Row *rows_ = nullptr;
  uintptr_t *slots_ = nullptr;
  size_t count_ = 0;
};

}  // namespace pl
