// The arguments of one printf call, collected before any output: the position each
// consumer (a * width or precision, or a conversion, in format order) reads, and the
// kind and value of each position. Formats of up to kInlineArguments consumers keep
// them in the list itself; larger ones take two blocks from the allocator hooks, which
// go back when the list is destroyed. Every value, 64-bit and floating ones included,
// is held in its position's 8-byte slot.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "format/printf/argument_fetch.h"
#include "polyloc.h"

namespace pl {

class ArgumentList {
 public:
  static constexpr size_t kInlineArguments = 16;

  // A consumer: the position it reads and the kind it reads there.
  struct Consumer {
    int32_t position;
    ArgKind kind;
    bool is_unsigned;
  };
  // A position: its kind (that of the last consumer reading it) and its value.
  struct Slot {
    uint64_t bits;
    ArgKind kind;
    bool is_unsigned;
  };

  ArgumentList() = default;
  ~ArgumentList();
  ArgumentList(const ArgumentList &) = delete;
  ArgumentList &operator=(const ArgumentList &) = delete;

  // Room for `count` consumers and positions beyond the inline ones; false when an
  // allocation failed.
  bool reserve(size_t count);
  size_t capacity() const { return capacity_; }
  Consumer *consumers() { return consumers_; }

  // Once the `count` consumers are recorded: gives every position the kind of its
  // last consumer. The only consumer of a format reads the first position, whatever
  // it names; false when another reads a position outside the `count`.
  bool settle(size_t count);

  // Reads every position's value, in position order; PL_OK or the call's code.
  int32_t fetch(va_list *args);
  int32_t fetch(const PLArgSource &source);

  // What consumer `k` reads, wanting `kind`. A position whose kind is not what the
  // consumer wants (two directives naming one position with different kinds) gives
  // its bits, and a pointer only of the very kind wanted.
  uint64_t bits(size_t k, ArgKind, bool) const { return k < count_ ? slot(k).bits : 0; }
  double real(size_t k, ArgKind) const {
    double value = 0;
    if (k < count_ && is_floating(slot(k).kind)) std::memcpy(&value, &slot(k).bits, sizeof value);
    return value;
  }
  const void *pointer(size_t k, ArgKind kind) const {
    // A pointer of another kind points to other units, or to less room.
    if (k >= count_ || slot(k).kind != kind) return nullptr;
    return reinterpret_cast<const void *>(static_cast<uintptr_t>(slot(k).bits));
  }
  // Every position was read before the output began.
  int32_t finish(size_t) { return PL_OK; }
  bool missing() const { return false; }

 private:
  const Slot &slot(size_t k) const { return slots_[consumers_[k].position]; }

  Consumer inline_consumers_[kInlineArguments];
  Slot inline_slots_[kInlineArguments];
  Consumer *consumers_ = inline_consumers_;
  Slot *slots_ = inline_slots_;
  size_t capacity_ = kInlineArguments;
  size_t count_ = 0;
};

}  // namespace pl
