// Where the engine writes: the caller's buffer and the room left in it. A character
// goes in whole or not at all; the first one that does not fit marks the sink full,
// and nothing more is written. The shift sink also keeps the output's mode and writes
// a shift byte only where the mode really changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "charset/charset_view.h"
#include "format/numbers/number_call.h"
#include "polyloc.h"

namespace pl {

template <class T>
class PlainSink {
 public:
  using Element = T;

  // `room` < 0: unlimited.
  PlainSink(T *out, int32_t room)
      : start_(out), at_(out), room_(room < 0 ? SIZE_MAX : static_cast<size_t>(room)) {}

  bool full() const { return full_; }
  size_t written() const { return static_cast<size_t>(at_ - start_); }
  bool fits(size_t units) const { return !full_ && units <= room_; }
  T *position() const { return at_; }

  // One single-unit character, or padding.
  void put(T unit) {
    if (full_) return;
    if (room_ == 0) return fail();
    *at_++ = unit;
    --room_;
  }
  [[gnu::always_inline]] void fill(T unit, size_t count) {
    if (count == 0 || full_) return;
    size_t n = count <= room_ ? count : room_;
    if constexpr (sizeof(T) == 1)
      std::memset(at_, unit, n);
    else
      for (size_t i = 0; i < n; ++i) at_[i] = unit;
    at_ += n;
    room_ -= n;
    if (n < count) fail();
  }
  // A character of `units` units.
  void put_char(const T *c, size_t units) {
    if (full_) return;
    if (units > room_) return fail();
    std::memcpy(at_, c, units * sizeof(T));
    at_ += units;
    room_ -= units;
  }
  // Text of single-unit characters: as much as fits.
  [[gnu::always_inline]] void put_units(const T *text, size_t count) {
    if (full_) return;
    size_t n = count <= room_ ? count : room_;
    copy(at_, text, n);
    at_ += n;
    room_ -= n;
    if (n < count) fail();
  }
  // The ends of a double-byte run have no meaning here.
  bool single_byte_mode() const { return true; }

 private:
  void fail() { full_ = true; }
  // Out of line: inlined into callers with small fixed buffers, the word copies of
  // copy_out draw array-bounds warnings for sizes those callers never pass.
  [[gnu::noinline]] static void copy(T *to, const T *from, size_t count) {
    copy_out(to, from, count);
  }

  T *start_;
  T *at_;
  size_t room_;
  bool full_ = false;
};

// Bytes of a stateful code set: single-byte characters in single-byte mode, double-byte
// characters between a shift-out and a shift-in.
class ShiftSink {
 public:
  using Element = char;

  ShiftSink(char *out, int32_t room, const CharsetView &set, PLState mode)
      : plain_(out, room), shift_out_(static_cast<char>(set.shift_out_byte())),
        shift_in_(static_cast<char>(set.shift_in_byte())), double_byte_(mode != 0) {}

  bool full() const { return full_; }
  size_t written() const { return plain_.written(); }
  bool single_byte_mode() const { return !double_byte_; }
  bool fits(size_t units) const { return !full_ && !double_byte_ && plain_.fits(units); }

  void put(char unit) {
    if (double_byte_ && !enter(false, 1)) return;
    put_plain([&] { plain_.put(unit); });
  }
  void fill(char unit, size_t count) {
    if (count == 0 || (double_byte_ && !enter(false, 1))) return;
    put_plain([&] { plain_.fill(unit, count); });
  }
  void put_char(const char *c, size_t units) {
    if (double_byte_ && !enter(false, units)) return;
    put_plain([&] { plain_.put_char(c, units); });
  }
  void put_units(const char *text, size_t count) {
    if (count == 0 || (double_byte_ && !enter(false, 1))) return;
    put_plain([&] { plain_.put_units(text, count); });
  }
  // A double-byte character.
  void put_double(const char *c, size_t units) {
    if (!double_byte_ && !enter(true, units)) return;
    put_plain([&] { plain_.put_char(c, units); });
  }

 private:
  // Writes the shift byte into `double_byte` mode when it fits with the `units` of the
  // first character behind it; otherwise a NUL where there is room, and the sink is full.
  bool enter(bool double_byte, size_t units) {
    if (full_) return false;
    if (!plain_.fits(1 + units)) {
      if (plain_.fits(1)) *plain_.position() = 0;
      full_ = true;
      return false;
    }
    plain_.put(double_byte ? shift_out_ : shift_in_);
    double_byte_ = double_byte;
    return true;
  }
  template <class Write>
  void put_plain(Write write) {
    if (full_) return;
    write();
    full_ = plain_.full();
  }

  PlainSink<char> plain_;
  char shift_out_, shift_in_;
  bool double_byte_;
  bool full_ = false;
};

}  // namespace pl
