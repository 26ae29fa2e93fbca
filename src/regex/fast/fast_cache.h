// What the fast engine keeps in a program between searches: the unit classes, the
// stepper and the two DFAs, built once the program has searched enough text to pay for
// them, and released with the program.
#pragma once

#include <cstdint>

#include "regex/fast/lazy_dfa.h"
#include "regex/fast/state_step.h"
#include "regex/fast/unit_classes.h"
#include "regex/fast/unit_skip.h"
#include "regex/regex_program.h"

namespace pl::regex {

struct FastCache {
  StateStepper stepper;
  UnitClasses classes;
  LazyDfa first;    // the first pass: the start set joins at every position
  LazyDfa longest;  // the longest match from a fixed start
  // Per class: whether the start set takes a unit of it (or a match ends before it).
  uint8_t *leaves_start;
  // How the first pass skips while only the start set is alive:
  enum Skip : uint8_t {
    kScan,        // to the next unit of a class in leaves_start, a table look-up a unit
    kMembers,     // to the next of the at most four units in `members`, a vector step
    kPairs,       // the same to the next of at most four pairs, or a member at the end
    kLineStarts,  // past the next newline: nothing is taken after any other unit
  } skip;
  SkipSet skip_set;  // the units taken and the pairs they begin; kLineStarts: the newline
  // Whether so few units are taken that skipping the others pays; dropped when the
  // skips turn out short in the text searched.
  bool skips;
  uint32_t skip_tries;
  uint64_t skipped;
  bool ready;         // everything above is built
  uint64_t deferred;  // units searched without it so far
};

// The program's cache, built now if need be; null when the program has two-unit
// collating elements in its sets (the DFA steps one unit at a time) or memory ran out.
FastCache *fast_cache_of(Program &program);
// The same once searches of `units` more units make it worth building; until then null,
// so that a program's first short searches go to the reference without any set-up.
FastCache *fast_cache_for(Program &program, size_t units);

}  // namespace pl::regex
