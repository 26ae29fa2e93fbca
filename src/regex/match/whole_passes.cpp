#include "regex/match/whole_passes.h"

namespace pl::regex {

bool WholePasses::first_end(size_t from, size_t *end, size_t *candidate) {
  FastAnswer answer = fast_first_end(program_, subject_, from, end, candidate);
  if (answer != FastAnswer::kUnavailable) return answer == FastAnswer::kMatch;
  return automaton_.first_end(from, end, candidate);
}

bool WholePasses::longest_end(size_t start, size_t *end) {
  FastAnswer answer = fast_longest_end(program_, subject_, start, end);
  if (answer != FastAnswer::kUnavailable) return answer == FastAnswer::kMatch;
  *end = automaton_.longest_end(start, subject_.length, automaton_.start_state(),
                                automaton_.final_state());
  return *end != kNoPosition;
}

// The leftmost start usually lies at the candidate or a few units after it, so the first
// few starts are tried one by one with the longest pass (the fast engine's, where it
// serves). Past them one scan of the start pass finds it, which keeps a text where many
// starts fail late (.*q|b on a long run of a's) linear.
int32_t WholePasses::leftmost_longest(size_t candidate, Span *match) {
  constexpr size_t kDirectStarts = 8;
  size_t start = candidate;
  for (size_t tried = 0; start <= subject_.length; ++start, ++tried) {
    if (tried == kDirectStarts && !automaton_.has_elements()) break;
    if (longest_end(start, &match->stop)) {
      match->start = start;
      return 1;
    }
  }
  if (start > subject_.length) return 0;
  if (!automaton_.leftmost_start(start, &start)) return -1;
  if (start == kNoPosition || !longest_end(start, &match->stop)) return 0;
  match->start = start;
  return 1;
}

}  // namespace pl::regex
