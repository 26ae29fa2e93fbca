// One step of the automaton over sets of instructions (the reference automaton's own
// step, over 64-bit words), and the pseudo-characters applied between two units of
// given kinds. The fast engine runs these only while it builds a DFA state or
// transition, never per unit of text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/regex_program.h"

namespace pl::regex {

// What a unit (or a position outside the text) is to the pseudo-characters.
enum UnitKind : uint8_t {
  kOtherUnit,    // neither a word unit nor a line-breaking newline
  kWordUnit,     // alnum or `_`
  kNewlineUnit,  // newline under PL_REG_NEWLINE
  kOutsideBol,   // before the text, where ^ matches
  kOutsideText,  // before the text when ^ does not match there, or after it
};
inline constexpr int kUnitKinds = 5;

// A set of instructions: one bit per instruction, in 64-bit words.
using StateWord = uint64_t;
inline constexpr uint32_t kStateWordBits = 64;

struct StateStepper {
  const Program *program;
  uint32_t start;  // the first instruction after the opening end
  uint32_t stop;   // the closing end: reaching it is a match
  uint32_t words;  // StateWords per set

  void init(const Program &p);

  // Follows `ch` (a unit or a pseudo-character) from `before` into `after`, which may
  // be the same set; `after` keeps what it already holds.
  void step(const StateWord *before, uint32_t ch, StateWord *after) const;

  // Applies to `set` the pseudo-characters that lie between a unit of kind `previous`
  // and one of kind `next`.
  void between(StateWord *set, UnitKind previous, UnitKind next) const;

  // The closure of the start instruction.
  void start_set(StateWord *set) const;

  bool accepts(const StateWord *set) const { return has(set, stop); }

  static bool has(const StateWord *set, uint32_t state) {
    return (set[state / kStateWordBits] >> (state % kStateWordBits)) & 1;
  }
  static void add(StateWord *set, uint32_t state) {
    set[state / kStateWordBits] |= StateWord{1} << (state % kStateWordBits);
  }
};

}  // namespace pl::regex
