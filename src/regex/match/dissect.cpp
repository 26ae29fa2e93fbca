#include "regex/match/dissect.h"

namespace pl::regex {
namespace {

class Dissector {
 public:
  Dissector(Automaton &automaton, const Program &program, int32_t *ranges)
      : automaton_(automaton), program_(program), ranges_(ranges) {}

  bool run(size_t start, size_t stop, uint32_t first, uint32_t stop_state) {
    const Instruction *strip = program_.strip;
    size_t at = start;
    for (uint32_t ss = first, es; ss < stop_state; ss = es) {
      es = element_end(ss);
      Instruction s = strip[ss];
      switch (op_of(s)) {
        case kChar:
        case kAny:
          ++at;
          break;
        case kAnyOf:
          if (program_.sets[operand_of(s)].elements == nullptr) {
            ++at;
          } else {  // a two-unit element may have been taken
            at = fit(at, stop, ss, es, stop_state);
            if (at == kNoPosition) return false;
          }
          break;
        case kOpenQuest: {
          size_t rest = fit(at, stop, ss, es, stop_state);
          if (rest == kNoPosition) return false;
          if (automaton_.longest_end(at, rest, ss + 1, es - 1) != kNoPosition &&
              !run(at, rest, ss + 1, es - 1))
            return false;
          at = rest;
          break;
        }
        case kOpenPlus: {
          size_t rest = fit(at, stop, ss, es, stop_state);
          if (rest == kNoPosition || !last_iteration(at, rest, ss, es)) return false;
          at = rest;
          break;
        }
        case kOpenAlt: {
          size_t rest = fit(at, stop, ss, es, stop_state);
          if (rest == kNoPosition || !first_branch(at, rest, ss)) return false;
          at = rest;
          break;
        }
        case kOpenParen:
          ranges_[2 * operand_of(s)] = static_cast<int32_t>(at);
          break;
        case kCloseParen:
          ranges_[2 * operand_of(s) + 1] = static_cast<int32_t>(at);
          break;
        default:  // anchors and word boundaries take nothing
          break;
      }
    }
    return at == stop;
  }

 private:
  // The instruction behind the element that starts at `ss`.
  uint32_t element_end(uint32_t ss) const {
    const Instruction *strip = program_.strip;
    uint32_t es = ss;
    switch (op_of(strip[es])) {
      case kOpenPlus:
      case kOpenQuest:
        es += operand_of(strip[es]);
        break;
      case kOpenAlt:
        while (op_of(strip[es]) != kCloseAlt) es += operand_of(strip[es]);
        break;
      default:
        break;
    }
    return es + 1;
  }

  // The longest end of the element [ss, es) from `at` that lets the rest of the program
  // [es, stop_state) match up to `stop`.
  size_t fit(size_t at, size_t stop, uint32_t ss, uint32_t es, uint32_t stop_state) {
    for (size_t limit = stop;;) {
      size_t rest = automaton_.longest_end(at, limit, ss, es);
      if (rest == kNoPosition) return kNoPosition;
      if (automaton_.longest_end(rest, stop, es, stop_state) == stop) return rest;
      if (rest == at) return kNoPosition;
      limit = rest - 1;
    }
  }

  // The loop at `ss` (innards [ss + 1, es - 1)) over [at, rest): each iteration takes
  // the longest stretch after which further iterations can still end at `rest`. The last
  // iteration is dissected; when the innards can also match nothing at `rest`, that
  // empty match counts as the last iteration.
  bool last_iteration(size_t at, size_t rest, uint32_t ss, uint32_t es) {
    const uint32_t first = ss + 1, stop_state = es - 1;
    size_t from = at;
    if (!greedy_iterations(&from, rest, first, stop_state)) {
      // Some longest stretch left a remainder no iteration can finish: check each one.
      for (from = at;;) {
        size_t end = completable_end(from, rest, ss, es);
        if (end == kNoPosition) return false;
        if (end == rest) break;
        from = end;
      }
    }
    if (from < rest && automaton_.longest_end(rest, rest, first, stop_state) == rest) from = rest;
    return run(from, rest, first, stop_state);
  }

  // Iterations of the innards [first, stop_state) from *from, each taking its longest
  // stretch: true when they end exactly at `rest`, *from then being the last one's start.
  bool greedy_iterations(size_t *from, size_t rest, uint32_t first, uint32_t stop_state) {
    for (;;) {
      size_t end = automaton_.longest_end(*from, rest, first, stop_state);
      if (end == rest) return true;
      if (end == kNoPosition || end == *from) return false;
      *from = end;
    }
  }

  // The longest end of one iteration of the loop [ss, es) from `from` after which the
  // loop can still end exactly at `rest`.
  size_t completable_end(size_t from, size_t rest, uint32_t ss, uint32_t es) {
    for (size_t limit = rest;;) {
      size_t end = automaton_.longest_end(from, limit, ss + 1, es - 1);
      if (end == kNoPosition) return kNoPosition;
      if (end == rest || (end > from && automaton_.longest_end(end, rest, ss, es) == rest))
        return end;
      if (end == from) return kNoPosition;
      limit = end - 1;
    }
  }

  // An alternation at `ss` over [at, rest): the first branch that matches it whole.
  bool first_branch(size_t at, size_t rest, uint32_t ss) {
    const Instruction *strip = program_.strip;
    uint32_t first = ss + 1;
    uint32_t last = ss + operand_of(strip[ss]) - 1;  // the branch's closing kAltBranch
    for (;;) {
      if (automaton_.longest_end(at, rest, first, last) == rest) return run(at, rest, first, last);
      if (op_of(strip[last]) == kCloseAlt) return false;
      ++last;  // the next branch's kLastBranch
      first = last + 1;
      last += operand_of(strip[last]);
      if (op_of(strip[last]) == kLastBranch) --last;
    }
  }

  Automaton &automaton_;
  const Program &program_;
  int32_t *ranges_;
};

}  // namespace

bool dissect(Automaton &automaton, const Program &program, size_t start, size_t stop,
             uint32_t first, uint32_t stop_state, int32_t *ranges) {
  return Dissector(automaton, program, ranges).run(start, stop, first, stop_state);
}

}  // namespace pl::regex
