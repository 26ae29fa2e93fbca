// The leftmost start of a match. The first pass only bounds it from below: a thread of
// an earlier start can share the states of a later one, and then a set tells nothing of
// which start came first. Keeping the earliest start in each instruction does, in one
// pass however far the bound lies from the match.
#include <algorithm>

#include "frame/memory.h"
#include "regex/match/automaton.h"
#include "regex/match/automaton_step.h"

namespace pl::regex {

bool Automaton::leftmost_start(size_t from, size_t *start) {
  constexpr uint32_t kStackStates = 64;
  const uint32_t n = program_.nstates;
  const bool heap = n > kStackStates;
  size_t stack_starts[2 * kStackStates];
  uint32_t stack_fresh[kStackStates];
  HeapArray<size_t> heap_starts(heap ? 2 * size_t{n} : 0);
  HeapArray<uint32_t> heap_fresh(heap ? n : 0);
  if (heap && (heap_starts.data() == nullptr || heap_fresh.data() == nullptr)) return false;
  size_t *starts = heap ? heap_starts.data() : stack_starts;
  uint32_t *fresh = heap ? heap_fresh.data() : stack_fresh;
  StartSet st(starts, n), before(starts + n, n);
  const StepRange range{program_, start_state(), final_state()};
  const Boundaries boundaries(subject_, (program_.compile_flags & PL_REG_NEWLINE) != 0);

  // The instructions a thread reaches at the position it begins.
  st.clear();
  st.add(range.first, 0);
  step(range, st, kNothingChar, st);
  uint32_t fresh_count = 0;
  for (uint32_t i = 0; i < n; ++i)
    if (st.has(i)) fresh[fresh_count++] = i;

  st.clear();
  size_t best = kNoPosition;
  for (size_t at = from;; ++at, ++walked_) {
    if (best == kNoPosition)
      for (uint32_t i = 0; i < fresh_count; ++i) st.add(fresh[i], at);
    between(range, boundaries, at, st);
    if (st.has(range.stop)) best = std::min(best, st.start(range.stop));
    if ((best != kNoPosition && !st.any_before(best)) || at == subject_.length) {
      *start = best;
      return true;
    }
    before.assign(st);
    st.clear();
    step(range, before, subject_.units[at], st);
  }
}

}  // namespace pl::regex
