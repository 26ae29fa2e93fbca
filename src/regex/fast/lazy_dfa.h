// A DFA over the automaton's instruction sets, built one transition at a time as the
// text asks for it. A state is an instruction set together with the kind of the unit
// before it (which decides the pseudo-characters at the next position). The cache is
// bounded: when it is full it is flushed and rebuilt from the state in hand.
#pragma once

#include <cstdint>

#include "regex/fast/state_step.h"
#include "regex/fast/unit_classes.h"

namespace pl::regex {

// A transition table entry: the target's row (state index × classes) with two flags.
inline constexpr uint32_t kMatchBefore = 0x80000000;  // the final state is reached before the unit
inline constexpr uint32_t kNoneMoved = 0x40000000;    // no instruction took the unit: no thread
                                                      // of an earlier start goes on after it
inline constexpr uint32_t kEntryFlags = kMatchBefore | kNoneMoved;
inline constexpr uint32_t kRowMask = ~kEntryFlags;
inline constexpr uint32_t kUnbuilt = 0xFFFFFFFF;   // not yet computed
inline constexpr uint32_t kNoMemory = 0xFFFFFFFE;  // never stored: an allocation failed

struct LazyDfa {
  struct State {
    uint32_t hash;
    UnitKind previous;
    int8_t at_end;  // -1 unknown, else whether the text may end here with a match
  };

  const StateStepper *stepper;
  const UnitClasses *classes;
  bool restarts;  // the start set joins the set after every unit
  uint32_t count;
  uint32_t capacity;
  uint32_t limit;
  State *states;
  StateWord *sets;  // capacity sets
  uint32_t *table;  // capacity rows of classes->count entries
  uint32_t *slots;  // open hash of state index + 1, 2 × capacity
  StateWord *work;  // the start set, then two sets of scratch
  uint32_t starts[kUnitKinds];
  uint64_t flushes;

  // False when memory ran out; release() then returns what was had.
  bool init(const StateStepper &s, const UnitClasses &c, bool restart);
  void release();

  // Row of the start set after a unit (or position) of kind `previous`; kNoMemory.
  uint32_t start(UnitKind previous);
  // Entry for unit class `cls` from the state of `row`, built on first use; kNoMemory.
  uint32_t next(uint32_t row, uint32_t cls);
  // Whether the final state is reached when the text ends at the state of `row`.
  bool accepts_at_end(uint32_t row);

 private:
  uint32_t intern(const StateWord *set, UnitKind previous);
  bool grow();
  void flush();
  void index_state(uint32_t index);
  uint32_t slot_mask() const { return 2 * capacity - 1; }
  StateWord *set_of(uint32_t index) const {
    return sets + static_cast<size_t>(index) * stepper->words;
  }
};

}  // namespace pl::regex
