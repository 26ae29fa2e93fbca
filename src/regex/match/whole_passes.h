// The two passes over the whole program that a search asks for, answered by the fast
// engine where it can and by the reference automaton where it cannot.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/match/automaton.h"

namespace pl::regex {

struct Span {
  size_t start;
  size_t stop;
};

class WholePasses {
 public:
  WholePasses(Program &program, const Subject &subject, Automaton &automaton)
      : program_(program), subject_(subject), automaton_(automaton) {}

  // As reference_first_end and reference_longest_end.
  bool first_end(size_t from, size_t *end, size_t *candidate);
  bool longest_end(size_t start, size_t *end);

  // The match at the leftmost start from `candidate` on (a bound from the first pass),
  // with its longest end: 1, 0 when none remains, -1 when memory failed.
  int32_t leftmost_longest(size_t candidate, Span *match);

 private:
  Program &program_;
  const Subject &subject_;
  Automaton &automaton_;
};

}  // namespace pl::regex
