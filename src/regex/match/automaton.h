// The reference automaton: sets of instructions stepped unit by unit over the subject,
// with the pseudo-characters of line and word boundaries applied between units. It runs
// over the whole program or over a stretch of it (for dissection), and between any two
// positions, reading the units around them for context.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/match/passes.h"
#include "regex/match/state_sets.h"

namespace pl::regex {

inline constexpr size_t kNoPosition = static_cast<size_t>(-1);

class Automaton {
 public:
  Automaton(const Program &program, const Subject &subject);

  // False when the sets of a large program found no memory.
  bool ready() const { return space_.ready(); }

  // The first pass over the whole program (as reference_first_end).
  bool first_end(size_t from, size_t *end, size_t *candidate);

  // The slow pass over the instructions [first, stop_state) from `start`, never
  // stepping past `stop`: the last position at which `stop_state` was reached, or
  // kNoPosition.
  size_t longest_end(size_t start, size_t stop, uint32_t first, uint32_t stop_state);

  // The leftmost start, from `from` on, of a match of the whole program: threads are
  // begun at every position and each instruction keeps the earliest start that reaches
  // it, until a match is found and no thread begun before it is left. kNoPosition when
  // there is none; false when its sets found no memory. Programs with two-unit
  // collating elements are not served (has_elements()).
  bool leftmost_start(size_t from, size_t *start);
  bool has_elements() const { return elements_; }

  // The instructions of the whole program: the first after the opening end, and the
  // closing end, which is the final state.
  uint32_t start_state() const { return program_.first_state + 1; }
  uint32_t final_state() const { return program_.last_state; }

  // Positions the passes have stepped over so far, which is what they cost.
  uint64_t walked() const { return walked_; }

 private:
  // Runs run(engine) with the engine of the program's set form.
  template <class Run>
  auto with_engine(Run run);

  const Program &program_;
  const Subject &subject_;
  SetSpace space_;
  bool elements_;  // some bracket set has two-unit collating elements
  uint64_t walked_ = 0;
};

// Whether a set has a two-unit collating element (first, second).
bool has_element(const BracketSet &set, PLUChar first, PLUChar second);

}  // namespace pl::regex
