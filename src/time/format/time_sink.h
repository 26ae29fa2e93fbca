// The output of the time formatter's forms without shift states: the caller's buffer
// between two pointers. A character goes in whole or not at all; the first one that
// does not fit marks the sink full. Numbers and names are written straight into the
// buffer (see `direct`); other text goes through the printf engine's PlainSink.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/printf/output_sink.h"

namespace pl::time_format {

template <class T>
class RawSink {
 public:
  using Element = T;

  RawSink(T *out, int32_t room) : start_(out), at_(out), end_(out + (room < 0 ? 0 : room)) {}

  bool full() const { return full_; }
  size_t written() const { return static_cast<size_t>(at_ - start_); }
  size_t room() const { return static_cast<size_t>(end_ - at_); }
  bool single_byte_mode() const { return true; }

  void put(T unit) {
    if (at_ == end_) {
      full_ = true;
      return;
    }
    *at_++ = unit;
  }
  // Runs `write(plain)` over a PlainSink on the room left, for the printf forms'
  // rules of writing whole characters.
  template <class Write>
  void through_plain(Write write) {
    if (full_) return;
    PlainSink<T> plain(at_, static_cast<int32_t>(room()));
    write(plain);
    at_ += plain.written();
    full_ = plain.full();
  }
  // Runs `write(p)`, which writes at most `most` units from p on and returns the end of
  // what it wrote; false, with nothing written, when that many do not fit.
  template <class Write>
  [[gnu::always_inline]] bool direct(size_t most, Write write) {
    if (most > room()) return false;
    at_ = write(at_);
    return true;
  }

 private:
  T *start_;
  T *at_;
  T *end_;
  bool full_ = false;
};

}  // namespace pl::time_format
