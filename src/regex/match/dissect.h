// Dissection: given a match the automaton found, which stretch each subexpression took.
#pragma once

#include <cstddef>
#include <cstdint>

#include "regex/match/automaton.h"

namespace pl::regex {

// Walks the instructions [first, stop_state) over the match [start, stop) and records
// each subexpression's (start, end) in `ranges` (pairs indexed by number). Each element
// takes the longest stretch that lets the rest still match; a loop records its last
// iteration; an alternation takes its first branch that matches its stretch whole.
// False when the program cannot account for the match (an inconsistent program).
bool dissect(Automaton &automaton, const Program &program, size_t start, size_t stop,
             uint32_t first, uint32_t stop_state, int32_t *ranges);

}  // namespace pl::regex
