#include "regex/fast/state_step.h"

#include <cstring>

#include "regex/match/automaton_step.h"

namespace pl::regex {

namespace {

// A set of StateWords as the reference step reads and writes sets.
class WordView {
 public:
  explicit WordView(const StateWord *words) : read_(words) {}
  explicit WordView(StateWord *words) : read_(words), write_(words) {}

  bool has(uint32_t state) const { return StateStepper::has(read_, state); }
  bool take(uint32_t state, const WordView &from, uint32_t from_state) {
    if (!from.has(from_state) || has(state)) return false;
    StateStepper::add(write_, state);
    return true;
  }

 private:
  const StateWord *read_;
  StateWord *write_ = nullptr;
};

}  // namespace

void StateStepper::init(const Program &p) {
  program = &p;
  start = p.first_state + 1;
  stop = p.last_state;
  words = (p.nstates + kStateWordBits - 1) / kStateWordBits;
}

void StateStepper::step(const StateWord *before, uint32_t ch, StateWord *after) const {
  WordView into(after);
  regex::step(StepRange{*program, start, stop}, WordView(before), ch, into);
}

void StateStepper::between(StateWord *set, UnitKind previous, UnitKind next) const {
  uint32_t flag = 0;
  uint32_t times = 0;
  if (previous == kNewlineUnit || previous == kOutsideBol) {
    flag = kBolChar;
    times = program->nbol;
  }
  if (next == kNewlineUnit || next == kOutsideText) {
    flag = flag == kBolChar ? kBothChar : kEolChar;
    times += program->neol;
  }
  for (; times > 0; --times) step(set, flag, set);

  const bool previous_outside = previous == kOutsideBol || previous == kOutsideText;
  const bool next_outside = next == kOutsideText;
  if ((flag == kBolChar || (!previous_outside && previous != kWordUnit)) && next == kWordUnit) {
    flag = kBowChar;
  }
  if (previous == kWordUnit && (flag == kEolChar || (!next_outside && next != kWordUnit))) {
    flag = kEowChar;
  }
  if (flag == kBowChar || flag == kEowChar) step(set, flag, set);
}

void StateStepper::start_set(StateWord *set) const {
  std::memset(set, 0, words * sizeof(StateWord));
  add(set, start);
  step(set, kNothingChar, set);
}

}  // namespace pl::regex
