// One step of the reference automaton over any set form: a set of instructions, or the
// instructions with the earliest start of a thread in each (StartSet). A set form gives
// has(state) and take(state, from, from_state), which makes `state` reached as
// `from_state` is in `from` and tells whether that changed anything.
#pragma once

#include <cstdint>

#include "regex/match/boundaries.h"

namespace pl::regex {

// The instructions [first, stop) of a program: what a step walks.
struct StepRange {
  const Program &program;
  uint32_t first;
  uint32_t stop;
};

// Follows `ch` (a unit or a pseudo-character) from `before` into `after`, which may be
// the same set; instructions that consume nothing are followed within `after`.
template <class Set>
void step(const StepRange &range, const Set &before, uint32_t ch, Set &after) {
  const Instruction *strip = range.program.strip;
  const bool unit = ch < kBolChar;
  for (uint32_t pc = range.first; pc != range.stop; ++pc) {
    Instruction s = strip[pc];
    uint32_t operand = operand_of(s);
    switch (op_of(s)) {
      case kChar:
        if (ch == operand) after.take(pc + 1, before, pc);
        break;
      case kBol:
        if (ch == kBolChar || ch == kBothChar) after.take(pc + 1, before, pc);
        break;
      case kEol:
        if (ch == kEolChar || ch == kBothChar) after.take(pc + 1, before, pc);
        break;
      case kBow:
        if (ch == kBowChar) after.take(pc + 1, before, pc);
        break;
      case kEow:
        if (ch == kEowChar) after.take(pc + 1, before, pc);
        break;
      case kAny:
        if (unit) after.take(pc + 1, before, pc);
        break;
      case kAnyOf:
        if (unit && before.has(pc) &&
            range.program.sets[operand].contains(static_cast<PLUChar>(ch)))
          after.take(pc + 1, before, pc);
        break;
      case kOpenBackref:
      case kCloseBackref:
      case kOpenPlus:
      case kCloseQuest:
      case kOpenParen:
      case kCloseParen:
      case kCloseAlt:
        after.take(pc + 1, after, pc);
        break;
      case kClosePlus:
        after.take(pc + 1, after, pc);
        // The loop's start changed: its body must be looked at again.
        if (after.take(pc - operand, after, pc)) pc -= operand + 1;
        break;
      case kOpenQuest:
      case kOpenAlt:
        after.take(pc + 1, after, pc);
        after.take(pc + operand, after, pc);
        break;
      case kAltBranch:
        // A branch is done: go on behind the whole alternation.
        if (after.has(pc)) {
          uint32_t look = 1;
          while (op_of(strip[pc + look]) != kCloseAlt) look += operand_of(strip[pc + look]);
          after.take(pc + look, after, pc);
        }
        break;
      case kLastBranch:
        after.take(pc + 1, after, pc);
        if (op_of(strip[pc + operand]) != kCloseAlt) after.take(pc + operand, after, pc);
        break;
      default:
        break;
    }
  }
}

// The pseudo-characters between the units around `at`: line boundaries as many times as
// the program has anchors of each kind, then a word boundary.
template <class Set>
void between(const StepRange &range, const Boundaries &boundaries, size_t at, Set &set) {
  uint32_t flag = kNothingChar;
  uint32_t times = 0;
  if (boundaries.bol(at)) {
    flag = kBolChar;
    times = range.program.nbol;
  }
  if (boundaries.eol(at)) {
    flag = flag == kBolChar ? kBothChar : kEolChar;
    times += range.program.neol;
  }
  for (; times > 0; --times) step(range, set, flag, set);
  if (boundaries.bow(at)) {
    step(range, set, kBowChar, set);
  } else if (boundaries.eow(at)) {
    step(range, set, kEowChar, set);
  }
}

}  // namespace pl::regex
