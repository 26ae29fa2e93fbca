// The search for programs with back references: the automaton finds where a match may
// lie (it takes a back reference for a copy of its subexpression), and a backtracking
// walk of the program decides, comparing the text a reference names.
//
// Backtracking can take exponential time. Each search therefore gets a budget of steps
// in proportion to the subject's length times the program's size (with a floor that
// ordinary searches never reach); the passes of the automaton it runs are charged too.
// When the budget is spent the search fails with code 1 ("Regular expression error")
// rather than run on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/codes.h"
#include "regex/match/whole_passes.h"

namespace pl::regex {

// The code of a search that cannot be completed: its budget is spent, or the program
// cannot account for a match ("Regular expression error").
inline constexpr Code kSearchError = 1;

// Continues a search whose first pass found a match around `candidate`: the leftmost
// longest match that the back references allow, with its subexpressions in `ranges`
// (pairs 1..nsub, which must hold -1). 1 found (*match), 0 none, -1 with *code (20 or
// kSearchError).
int32_t backref_search(WholePasses &passes, Automaton &automaton, const Program &program,
                       const Subject &subject, size_t candidate, int32_t *ranges, Span *match,
                       Code *code);

}  // namespace pl::regex
