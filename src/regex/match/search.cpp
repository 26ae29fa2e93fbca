// The search: a plain scan for the literal every match contains, the first pass for
// whether and from where a match exists, the slow pass for its leftmost start and longest
// end, then dissection or, with back references, the backtracking search.
#include "regex/match/search.h"

#include <algorithm>

#include "frame/handle.h"
#include "frame/memory.h"
#include "regex/match/backtrack.h"
#include "regex/match/dissect.h"
#include "regex/match/must_scan.h"

namespace pl::regex {
namespace {

// Where the program's `must` literal first occurs: 0 when it has none, `length` when it
// does not occur (no match is possible then).
size_t find_must(const Program &program, const Subject &subject) {
  if (program.must == nullptr || program.must_length == 0) return 0;
  return find_literal(subject.units, subject.length, program.must, program.must_length);
}

// A program that is its `must` literal and nothing else: its first occurrence is the
// leftmost-longest match, and the automaton has nothing to add.
bool is_plain_literal(const Program &program) {
  if (program.must == nullptr || program.must_length == 0 ||
      program.last_state - program.first_state - 1 != program.must_length)
    return false;
  for (uint32_t i = program.first_state + 1; i < program.last_state; ++i)
    if (op_of(program.strip[i]) != kChar) return false;
  return true;
}


int32_t fail(PLLocale *handle, Code code) {
  handle->last_error = code;
  return -1;
}

// The ranges array, allocated at the first match; null with code 20 stored when it
// cannot be.
int32_t *ranges_of(PLLocale *handle, Program &program) {
  if (program.ranges == nullptr) {
    program.ranges = create_array<int32_t>(2 * (size_t{program.nsub} + 1));
    if (program.ranges == nullptr) {
      handle->last_error = PL_ERR_NO_MEMORY;
      return nullptr;
    }
    drop_ranges(program);
  }
  return program.ranges;
}

// The match at the leftmost start from `candidate` on, and its subexpressions: 1, 0 or
// -1 with the code stored.
int32_t locate(PLLocale *handle, Program &program, const Subject &subject, WholePasses &passes,
               Automaton &automaton, size_t candidate, int32_t *ranges, Span *match) {
  if (program.backrefs != 0) {
    Code code = PL_OK;
    int32_t found =
        backref_search(passes, automaton, program, subject, candidate, ranges, match, &code);
    if (found < 0) handle->last_error = code;
    return found;
  }
  int32_t found = passes.leftmost_longest(candidate, match);
  if (found < 0) return fail(handle, PL_ERR_NO_MEMORY);
  if (found == 0 || program.nsub == 0) return found;
  // The automaton found this match: a dissection that cannot account for it means the
  // program is inconsistent.
  return dissect(automaton, program, match->start, match->stop, automaton.start_state(),
                 automaton.final_state(), ranges)
             ? 1
             : fail(handle, kSearchError);
}

}  // namespace

// The ranges array is allocated at the first match and kept for the next ones (its size
// is the program's); a search that records nothing marks every pair unused, so that
// PLRegrange yields nulls.
void drop_ranges(Program &program) {
  if (program.ranges == nullptr) return;
  std::fill_n(program.ranges, 2 * (size_t{program.nsub} + 1), -1);
}

int32_t search_units(PLLocale *handle, Program &program, const PLUChar *string, size_t length,
                     bool not_bol) {
  drop_ranges(program);
  Subject subject{string, length, not_bol};
  size_t must_at = find_must(program, subject);
  if (must_at == length && program.must_length != 0) return 0;
  bool nosub = (program.compile_flags & PL_REG_NOSUB) != 0 && program.backrefs == 0;
  Span match;
  if (is_plain_literal(program)) {
    if (nosub) return 1;
    match = {must_at, must_at + program.must_length};
  } else {
    Automaton automaton(program, subject);
    if (!automaton.ready()) return fail(handle, PL_ERR_NO_MEMORY);
    WholePasses passes(program, subject, automaton);
    size_t end, candidate;
    if (!passes.first_end(0, &end, &candidate)) return 0;
    if (nosub) return 1;
    int32_t *ranges = ranges_of(handle, program);
    if (ranges == nullptr) return -1;
    int32_t found = locate(handle, program, subject, passes, automaton, candidate, ranges, &match);
    if (found != 1) {
      drop_ranges(program);
      return found;
    }
  }
  int32_t *ranges = ranges_of(handle, program);
  if (ranges == nullptr) return -1;
  ranges[0] = static_cast<int32_t>(match.start);
  ranges[1] = static_cast<int32_t>(match.stop);
  return 1;
}

}  // namespace pl::regex
