// UTF-16 units of text in each form, one at a time, for the element stream: code-set
// characters are converted as they are reached, a character beyond U+FFFF gives its
// two surrogates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "charset/charset_view.h"
#include "charset/codeset_ids.h"
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
      : entry_(entry),
        set_(entry),
        s_(s),
        end_(s + n),
        single_(set_.max_length() == 1),
        utf8_(entry.number == kUtf8Codeset) {}

  int32_t next() {
    if (pair_.holding()) return pair_.held();
    if (s_ >= end_) return -1;
    if (single_) return set_.byte_unicode(*s_++);
    size_t available = static_cast<size_t>(end_ - s_);
    if (utf8_) {
      int32_t unit = utf8_bmp_unit(available);
      if (unit >= 0) return unit;
    }
    uint8_t length = char_length(set_, s_, available).rule;
    if (length <= 1) return set_.byte_unicode(*s_++);
    uint32_t value = to_unicode(entry_, s_, available);
    s_ += length < available ? length : available;
    return pair_.split(value);
  }

 private:
  // Well-formed UTF-8 of one to three bytes, decoded inline (the text of most
  // scripts); -1 for anything the conversion tables must judge.
  int32_t utf8_bmp_unit(size_t available) {
    uint8_t b0 = s_[0];
    if (b0 < 0x80) {
      ++s_;
      return b0;
    }
    auto trail = [&](size_t i) { return i < available && (s_[i] & 0xC0) == 0x80; };
    if (b0 >= 0xC2 && b0 <= 0xDF && trail(1)) {
      int32_t unit = (b0 & 0x1F) << 6 | (s_[1] & 0x3F);
      s_ += 2;
      return unit;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && trail(1) && trail(2)) {
      int32_t unit = (b0 & 0x0F) << 12 | (s_[1] & 0x3F) << 6 | (s_[2] & 0x3F);
      if (unit < 0x800 || (unit >= 0xD800 && unit <= 0xDFFF)) return -1;
      s_ += 3;
      return unit;
    }
    return -1;
  }

  const ControlEntry &entry_;
  CharsetView set_;
  const uint8_t *s_;
  const uint8_t *end_;
  bool single_;
  bool utf8_;
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
