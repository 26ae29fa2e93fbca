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

// A walk to the first directive that consumes: whether it names a position, which
// makes the whole format positional.
template <class Cursor>
class FirstDirective {
 public:
  explicit FirstDirective(Cursor &cursor) : cursor_(cursor) {}

  bool positional = false;

  bool running() const { return !found_; }
  void directive(bool consumes) {
    if (!consumes) return;
    found_ = true;
    positional = cursor_.position_ahead() >= 0;
  }

  template <class C> void literal(const C &) {}
  template <class T> void literals(const T *, size_t) {}
  void bad_multibyte() {}
  void flag(uint32_t) {}
  void width_star() {}
  void width_digit(int32_t) {}
  void dot() {}
  void precision_star() {}
  void precision_digit(int32_t) {}
  void size(ArgSize) {}
  void conversion(uint32_t) {}

 private:
  Cursor &cursor_;
  bool found_ = false;
};

// The walk that learns the arguments: every consumer with the position it reads and
// the kind it reads there. Sequential directives read the positions in order; a
// positional one (%2$d) reads its named position and its * consumers the positions
// after it. Consumers beyond the list's capacity are only counted; the caller makes
// room and walks again.
template <class Cursor>
class ArgumentScan {
 public:
  ArgumentScan(Cursor &cursor, ArgumentList &list, const CharacterKinds &chars)
      : cursor_(cursor), consumers_(list.consumers()), capacity_(list.capacity()), chars_(chars) {}

  size_t count = 0;
  bool positional = false;
  // A directive without a position after one with a position.
  bool inconsistent = false;

  bool running() const { return !inconsistent; }
  void directive(bool consumes) {
    if (!consumes) return;
    size_ = ArgSize::kDefault;
    int32_t named = cursor_.position_ahead();
    if (count == 0) positional = named >= 0;
    else if (positional && named < 0) inconsistent = true;
    add(positional ? named - 1 : static_cast<int32_t>(count));
  }
  void width_star() { star(); }
  void precision_star() { star(); }
  void size(ArgSize size) { size_ = size; }
  void conversion(uint32_t c) {
    bool is_unsigned = false;
    ArgKind kind = kind_of(c, size_, chars_, &is_unsigned);
    if (current_ < capacity_) consumers_[current_] = {consumers_[current_].position, kind, is_unsigned};
  }

  template <class C> void literal(const C &) {}
  template <class T> void literals(const T *, size_t) {}
  void bad_multibyte() {}
  void flag(uint32_t) {}
  void width_digit(int32_t) {}
  void dot() {}
  void precision_digit(int32_t) {}

 private:
  // A * reads the directive's current consumer as an int; the directive's next
  // consumer reads the position after it.
  void star() {
    int32_t after = 0;
    if (current_ < capacity_) {
      consumers_[current_].kind = ArgKind::kInt;
      consumers_[current_].is_unsigned = false;
      after = consumers_[current_].position + 1;
    }
    add(positional ? after : static_cast<int32_t>(count));
  }
  void add(int32_t position) {
    current_ = count++;
    if (current_ < capacity_) consumers_[current_] = {position, ArgKind::kInt, false};
  }

  Cursor &cursor_;
  ArgumentList::Consumer *consumers_;
  size_t capacity_;
  CharacterKinds chars_;
  size_t current_ = 0;
  ArgSize size_ = ArgSize::kDefault;
};

}  // namespace pl
