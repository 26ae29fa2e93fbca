// The two automaton passes of a search over the whole program, in two engines that
// must agree exactly: the reference engine steps sets of instructions unit by unit;
// the fast engine answers the same questions from a lazily built DFA cached in the
// program. Positions are unit indices into the subject, 0..length.
#pragma once

#include <cstddef>

#include "regex/regex_program.h"

namespace pl::regex {

// The text a search runs over.
struct Subject {
  const PLUChar *units;
  size_t length;
  bool not_bol;  // ^ does not match at position 0 (the text goes on before it)
};

// The first pass: from `from`, adding the start state at every position, runs until a
// final state is reached (its position goes to *end) or the text ends (false).
// *candidate receives the last position that no thread begun at an earlier position
// reaches: a bound below the leftmost match start.
bool reference_first_end(const Program &program, const Subject &subject, size_t from,
                         size_t *end, size_t *candidate);
// The second pass: from `start` without restarting, the last position at which the
// final state was reached (the longest match from `start`), or false.
bool reference_longest_end(const Program &program, const Subject &subject, size_t start,
                           size_t *end);

// The same two passes through the DFA. kUnavailable when the fast engine cannot serve
// this program or ran out of memory: the caller falls back to the reference engine.
enum class FastAnswer { kNoMatch, kMatch, kUnavailable };
FastAnswer fast_first_end(Program &program, const Subject &subject, size_t from, size_t *end,
                          size_t *candidate);
FastAnswer fast_longest_end(Program &program, const Subject &subject, size_t start, size_t *end);

}  // namespace pl::regex
