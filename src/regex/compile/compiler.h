// One compilation in progress: the pattern being read, the strip being written, the
// bracket sets being built, and the first error met. The syntax and bracket parsers
// work on it through the primitives below.
//
// Strip shapes the matcher relies on (distances are instruction counts):
//   x+       kOpenPlus(->close) x kClosePlus(->open)
//   x*       kOpenQuest(->close) kOpenPlus x kClosePlus kCloseQuest(->open)
//   x|y|z    kOpenAlt(->first kLastBranch) x kAltBranch(->kOpenAlt) kLastBranch(->next)
//            y kAltBranch(->previous kAltBranch) kLastBranch(->next) z
//            kCloseAlt(->last kAltBranch)
//   x?       the alternation of x and nothing: kOpenAlt x kAltBranch kLastBranch kCloseAlt
// Each kAltBranch closes a branch and points back; each kLastBranch opens the next branch
// and points forward to the following kLastBranch or to the kCloseAlt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/codes.h"
#include "frame/handle.h"
#include "frame/memory.h"
#include "regex/regex_program.h"

namespace pl::regex {

// Interval bounds: counts go up to 255; an open upper bound is 256.
inline constexpr uint32_t kMaxCount = 255;
inline constexpr uint32_t kOpenBound = 256;
// Back references reach subexpressions 1 to 9.
inline constexpr size_t kBackrefLimit = 10;
// Groups nest at most this deep: the parsers recurse once per level, and deeper
// patterns would exhaust the caller's stack. Deeper ones give code 20.
inline constexpr size_t kMaxNesting = 1000;
// Result of an inconsistent program.
inline constexpr Code kProgramInconsistent = 1;
// peek() past the end of the pattern: no unit compares equal to it.
inline constexpr uint32_t kNoUnit = 0x10000;

// A collating element named in a bracket expression: one unit, or a two-unit element.
struct CollatingElement {
  PLUChar units[2];
  uint8_t length;
};

// Moves the first `count` entries of `*array` into a new block of `capacity` entries
// from the allocator (the rest left unset: callers track what they fill); false, with
// `*array` unchanged, when there is none.
template <class T>
bool move_to_larger(T **array, size_t count, size_t capacity) {
  if (capacity > static_cast<size_t>(-1) / sizeof(T)) return false;
  T *grown = static_cast<T *>(allocate(capacity * sizeof(T)));
  if (grown == nullptr) return false;
  if (count != 0) std::memcpy(grown, *array, count * sizeof(T));
  release(*array);
  *array = grown;
  return true;
}

class Compiler {
 public:
  Compiler(PLLocale *handle, Program *program, const PLUChar *pattern, size_t length);
  ~Compiler();
  Compiler(const Compiler &) = delete;
  Compiler &operator=(const Compiler &) = delete;

  PLLocale *handle() const { return handle_; }
  Program &program() const { return *program_; }
  bool has_flag(int32_t flag) const { return (program_->compile_flags & flag) != 0; }

  // Reading the pattern.
  bool more() const { return next_ < end_; }
  bool more2() const { return end_ - next_ >= 2; }
  size_t left() const { return static_cast<size_t>(end_ - next_); }
  const PLUChar *position() const { return next_; }
  uint32_t peek() const { return more() ? next_[0] : kNoUnit; }
  uint32_t peek2() const { return more2() ? next_[1] : kNoUnit; }
  bool see(uint32_t c) const { return peek() == c; }
  bool see_two(uint32_t a, uint32_t b) const { return more2() && next_[0] == a && next_[1] == b; }
  bool eat(uint32_t c);
  bool eat_two(uint32_t a, uint32_t b);
  PLUChar get_next() { return *next_++; }
  void skip(size_t n) { next_ += n; }

  // The first error is kept; reading stops there (the position jumps to the end).
  void set_error(Code code);
  bool require(bool condition, Code code);
  Code error() const { return error_; }

  // The strip. Nothing is written once an error is set.
  bool start_strip(size_t capacity);
  bool shrink_strip();
  size_t here() const { return length_; }
  void emit(Op op, uint32_t operand);
  // Inserts an instruction at `pos`, moving what follows one place on; its operand
  // points to the instruction that will follow the current end.
  void insert(Op op, size_t pos);
  // Emits `op` pointing back to `pos`.
  void astern(Op op, size_t pos) { emit(op, static_cast<uint32_t>(here() - pos)); }
  // Points the instruction at `pos` forward to the current end.
  void ahead(size_t pos);
  // Appends a copy of the instructions [start, finish); returns where it begins.
  size_t duplicate(size_t start, size_t finish);
  void drop(size_t count);

  // Where subexpressions 1..9 begin and end in the strip (0: not closed).
  size_t paren_begin[kBackrefLimit] = {};
  size_t paren_end[kBackrefLimit] = {};
  // Groups open around the current position.
  size_t nesting = 0;

  // With ignore case, the set already made for a letter: a small direct-mapped cache
  // that spares building and comparing a 65536-unit set for every repeated letter.
  struct CaseSet {
    PLUChar unit;
    int32_t set;  // -1: empty slot
  };
  static constexpr size_t kCaseSlots = 64;
  CaseSet case_sets[kCaseSlots];

  // Bracket sets. new_set gives a cleared set's index (-1 on failure, code 20 set).
  int32_t new_set();
  BracketSet &set(uint32_t index) const { return program_->sets[index]; }
  void add_to_set(uint32_t index, uint32_t unit) const {
    BracketSet &s = set(index);
    s.bits[unit] |= s.mask;
  }
  bool add_element(const CollatingElement &element);
  // With ignore case: adds the other case of every member.
  void add_other_cases(uint32_t index);
  void invert_set(uint32_t index);
  // Emits the finished set: a literal for a single unit, an identical earlier set
  // when there is one, else this one.
  void emit_set(uint32_t index);

 private:
  bool grow_strip(size_t capacity);
  size_t grown_capacity(size_t needed) const;
  bool grow_sets();
  void discard_set(uint32_t index);
  bool same_set(uint32_t a, uint32_t b) const;

  PLLocale *handle_;
  Program *program_;
  const PLUChar *next_;
  const PLUChar *end_;
  Code error_ = PL_OK;
  size_t length_ = 0;
  size_t capacity_ = 0;
  size_t set_capacity_ = 0;
  size_t column_capacity_ = 0;
  // The two-unit elements of the set being built: (first, second, 0) each.
  PLUChar *elements_ = nullptr;
  size_t element_units_ = 0;
  size_t element_capacity_ = 0;
};

// The syntax parsers (syntax.cpp).
void parse_extended(Compiler &c);
void parse_basic(Compiler &c);
void parse_literal(Compiler &c);
// A literal unit: with ignore case, a unit with another case becomes a set of both.
void ordinary(Compiler &c, PLUChar unit);

// After `[`: a bracket expression or a word assertion (bracket.cpp).
void parse_bracket(Compiler &c);
// `.` under the newline-sensitive flag: every unit but newline.
void emit_non_newline(Compiler &c);
// Finishes a set: other cases, inversion, then emit_set.
void finish_set(Compiler &c, uint32_t index, bool invert);

// Adds the range first..last of single units to a set in the order the pattern's
// encoding gives them (range.cpp); false when the range runs backwards.
bool add_range(Compiler &c, uint32_t set, PLUChar first, PLUChar last);

// The other case of a unit, or the unit itself.
PLUChar other_case(PLUChar unit);

}  // namespace pl::regex
