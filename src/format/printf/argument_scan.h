// Learning a format's arguments before any output: how many consumers it has, whether
// its directives name their positions (%2$d, all of them or none), which position
// each consumer reads and the kind of each position.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/printf/argument_list.h"
#include "format/printf/directive_reader.h"

namespace pl {

// The kinds that c, C, s and S take in one form.
struct CharacterKinds {
  ArgKind c, C, s, S;
};

// The kind of the position a conversion reads, and whether it is unsigned.
inline ArgKind kind_of(uint32_t conversion, ArgSize size, const CharacterKinds &chars,
                       bool *is_unsigned) {
  *is_unsigned = false;
  switch (conversion) {
    case 'o': case 'u': case 'x': case 'X':
      *is_unsigned = true;
      [[fallthrough]];
    case 'd': case 'i':
      switch (size) {
        case ArgSize::kShort: return ArgKind::kShort;
        case ArgSize::kLong: return ArgKind::kLong;
        case ArgSize::kInt64: return ArgKind::kInt64;
        default: return ArgKind::kInt;
      }
    case 'e': case 'E': case 'f': case 'g': case 'G':
      return size == ArgSize::kLongDouble ? ArgKind::kLongDouble : ArgKind::kDouble;
    case 'n': case 'p': return ArgKind::kPointer;
    case 'c': return chars.c;
    case 'C': return chars.C;
    case 's': return chars.s;
    case 'S': return chars.S;
    default: return ArgKind::kInt;  // B and Z
  }
}

// First walk: the consumers, and whether the directives are positional. A format whose
// first directive names a position and a later one does not is inconsistent.
template <class Cursor>
class ConsumerCount {
 public:
  explicit ConsumerCount(Cursor &cursor) : cursor_(cursor) {}

  size_t count = 0;
  bool positional = false;
  bool inconsistent = false;

  bool running() const { return !inconsistent; }
  void directive(bool consumes) {
    if (!consumes) return;
    bool names = cursor_.position_ahead() >= 0;
    if (count == 0) positional = names;
    else if (positional && !names) inconsistent = true;
    ++count;
  }
  void width_star() { ++count; }
  void precision_star() { ++count; }

  template <class C> void literal(const C &) {}
  void bad_multibyte() {}
  void flag(uint32_t) {}
  void width_digit(int32_t) {}
  void dot() {}
  void precision_digit(int32_t) {}
  void size(ArgSize) {}
  void conversion(uint32_t) {}

 private:
  Cursor &cursor_;
};

// Second walk: the position of every row and the kind of every position. Sequential
// directives read the positions in order; a positional one reads its named position,
// its * consumers the positions after it.
template <class Cursor>
class PositionFill {
 public:
  PositionFill(Cursor &cursor, ArgumentList &list, bool positional, const CharacterKinds &chars)
      : cursor_(cursor), rows_(list.rows()), count_(list.count()), positional_(positional),
        chars_(chars) {}

  bool out_of_range = false;

  bool running() const { return !out_of_range; }
  void directive(bool consumes) {
    if (!consumes) return;
    size_ = ArgSize::kDefault;
    int32_t named = positional_ && count_ > 1 ? cursor_.position_ahead() - 1 : -1;
    add_row(positional_ ? named : static_cast<int32_t>(next_));
  }
  void width_star() { star(); }
  void precision_star() { star(); }
  void size(ArgSize size) { size_ = size; }
  void conversion(uint32_t c) {
    bool is_unsigned = false;
    set_kind(current_, kind_of(c, size_, chars_, &is_unsigned), is_unsigned);
  }

  template <class C> void literal(const C &) {}
  void bad_multibyte() {}
  void flag(uint32_t) {}
  void width_digit(int32_t) {}
  void dot() {}
  void precision_digit(int32_t) {}

 private:
  // A * reads the directive's current row, and the directive moves to a new row
  // behind it.
  void star() {
    set_kind(current_, ArgKind::kInt, false);
    int32_t after = rows_[current_].position + 1;
    add_row(positional_ ? after : static_cast<int32_t>(next_));
  }
  void add_row(int32_t position) {
    if (next_ >= count_) return;
    if (count_ == 1) position = 0;
    if (position < 0 || static_cast<size_t>(position) >= count_) {
      out_of_range = true;
      return;
    }
    current_ = next_++;
    rows_[current_].position = position;
  }
  void set_kind(size_t row, ArgKind kind, bool is_unsigned) {
    if (row >= next_) return;
    ArgumentList::Row &at = rows_[rows_[row].position];
    at.kind = static_cast<int32_t>(kind);
    at.is_unsigned = is_unsigned;
  }

  Cursor &cursor_;
  ArgumentList::Row *rows_;
  size_t count_;
  bool positional_;
  CharacterKinds chars_;
  size_t next_ = 0;
  size_t current_ = 0;
  ArgSize size_ = ArgSize::kDefault;
};

}  // namespace pl
