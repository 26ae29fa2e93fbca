// UTF-16 units of text in each form, one at a time, for the element stream: code-set
// characters are converted as they are reached, a character beyond U+FFFF gives its
// two surrogates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "charset/to_unicode.h"
#include "locale/control_entry.h"
#include "polyloc.h"

namespace pl {

// Units given as they are.
class ArrayUnits {
 public:
  ArrayUnits(const PLUChar *s, size_t n) : s_(s), end_(s + n) {}
  int32_t next() { return s_ < end_ ? *s_++ : -1; }

 private:
  const PLUChar *s_;
  const PLUChar *end_;
};

// Splits values beyond the BMP into surrogates; the low one waits for the next call.
class SurrogateSplitter {
 public:
  int32_t held() {
    int32_t u = low_;
    low_ = -1;
    return u;
  }
  bool holding() const { return low_ >= 0; }
  int32_t split(uint32_t value) {
    if (value <= 0xFFFF) return static_cast<int32_t>(value);
    value -= 0x10000;
    low_ = static_cast<int32_t>(0xDC00 + (value & 0x3FF));
    return static_cast<int32_t>(0xD800 + (value >> 10));
  }

 private:
  int32_t low_ = -1;
};

// Bytes of a code set without shift states: the length rule finds each character,
// single bytes convert through the byte table, longer characters through the
// conversion tables.
class CodesetUnits {
 public:
  CodesetUnits(const ControlEntry &entry, const uint8_t *s, size_t n)
      : entry_(entry), set_(entry), s_(s), end_(s + n), single_(set_.max_length() == 1) {}

  int32_t next() {
    if (pair_.holding()) return pair_.held();
    if (s_ >= end_) return -1;
    if (single_) return set_.byte_unicode(*s_++);
    size_t available = static_cast<size_t>(end_ - s_);
    uint8_t length = char_length(set_, s_, available).rule;
    if (length <= 1) return set_.byte_unicode(*s_++);
    uint32_t value = to_unicode(entry_, s_, available);
    s_ += length < available ? length : available;
    return pair_.split(value);
  }

 private:
  const ControlEntry &entry_;
  CharsetView set_;
  const uint8_t *s_;
  const uint8_t *end_;
  bool single_;
  SurrogateSplitter pair_;
};

// Bytes of a stateful code set: shift runs are skipped (the last byte of a run sets
// the mode) and each character is read in the current mode.
class ShiftedUnits {
 public:
  ShiftedUnits(const ControlEntry &entry, const uint8_t *s, size_t n, PLState state)
      : entry_(entry), set_(entry), s_(s), end_(s + n), state_(state) {}

  int32_t next() {
    if (pair_.holding()) return pair_.held();
    StatefulChar c = stateful_char(set_, s_, static_cast<size_t>(end_ - s_), state_);
    s_ += c.shift.length;
    state_ = c.shift.state;
    if (c.length.bytes == 0) return -1;
    const uint8_t *at = s_;
    s_ += c.length.bytes;
    if (c.length.rule <= 1) return set_.byte_unicode(*at);
    return pair_.split(to_unicode(entry_, at, c.length.bytes));
  }

 private:
  const ControlEntry &entry_;
  CharsetView set_;
  const uint8_t *s_;
  const uint8_t *end_;
  PLState state_;
  SurrogateSplitter pair_;
};

// Packed characters of a code set, one per element.
class PackedUnits {
 public:
  PackedUnits(const ControlEntry &entry, const PLWChar *s, size_t n)
      : entry_(entry), s_(s), end_(s + n) {}

  int32_t next() {
    if (pair_.holding()) return pair_.held();
    if (s_ >= end_) return -1;
    return pair_.split(packed_to_unicode(entry_, *s_++));
  }

 private:
  const ControlEntry &entry_;
  const PLWChar *s_;
  const PLWChar *end_;
  SurrogateSplitter pair_;
};

}  // namespace pl
