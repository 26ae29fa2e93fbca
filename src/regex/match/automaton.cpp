#include "regex/match/automaton.h"

#include <type_traits>
#include <utility>

#include "frame/memory.h"
#include "regex/match/automaton_step.h"

namespace pl::regex {
namespace {

bool any_elements(const Program &program) {
  for (uint32_t i = 0; i < program.set_count; ++i)
    if (program.sets[i].elements != nullptr && program.sets[i].elements[0] != 0) return true;
  return false;
}

// The automaton over one set form. A two-unit collating element is taken by stepping
// its instruction into a set that joins the current one two positions on; `due` and
// `soon` hold what arrives at the current and the next position.
template <class Set>
class Engine {
 public:
  Engine(const Program &program, const Subject &subject, const SetSpace &space, bool elements,
         uint64_t &walked)
      : program_(program),
        subject_(subject),
        boundaries_(subject, (program.compile_flags & PL_REG_NEWLINE) != 0),
        elements_(elements),
        walked_(walked) {
    if constexpr (std::is_same_v<Set, ByteSet>) {
      for (int i = 0; i < kSetSlots; ++i) sets_[i] = Set(space.slot(i), space.nstates());
    }
  }

  // The candidate start is the last position that no thread begun earlier reaches: a
  // match cannot start before it. (A set merely equal to the start set is not enough:
  // threads of an earlier start may have come down to states of the start set.)
  bool first_end(size_t from, size_t *end, size_t *candidate) {
    first_ = program_.first_state + 1;
    stop_ = program_.last_state;
    Set &st = sets_[0], &fresh = sets_[1], &moved = sets_[2];
    start_set(st);
    fresh.assign(st);
    clear_flight();
    size_t cold = from;
    bool older = false;  // threads of earlier starts are alive here
    for (size_t at = from;; ++at, ++walked_) {
      if (!older && !due_ && !soon_) cold = at;
      arrive(st);
      between(st, at);
      if (st.has(stop_) || at == subject_.length) {
        *candidate = cold;
        *end = at;
        return st.has(stop_);
      }
      moved.clear();
      take_unit(st, at, moved);
      older = !moved.empty();
      st.assign(fresh);
      st.join(moved);
    }
  }

  size_t longest_end(size_t start, size_t stop, uint32_t first, uint32_t stop_state) {
    first_ = first;
    stop_ = stop_state;
    Set &st = sets_[0], &before = sets_[2];
    start_set(st);
    clear_flight();
    size_t match = kNoPosition;
    for (size_t at = start;; ++at, ++walked_) {
      arrive(st);
      between(st, at);
      if (st.has(stop_)) match = at;
      if (at == stop || (st.empty() && !soon_)) return match;
      before.assign(st);
      st.clear();
      take_unit(before, at, st);
    }
  }

 private:
  void start_set(Set &st) {
    st.clear();
    st.add(first_);
    step(st, kNothingChar, st);
  }

  void clear_flight() {
    if (!elements_) return;
    sets_[3].clear();
    sets_[4].clear();
    due_ = soon_ = false;
  }

  // Joins into `st` the elements that end at the current position, with what follows
  // them freely.
  void arrive(Set &st) {
    if (!due_) return;
    st.join(sets_[3]);
    step(st, kNothingChar, st);
  }

  // Steps over the unit at `at`; an element starting there arrives two positions on.
  void take_unit(const Set &before, size_t at, Set &after) {
    if (!elements_) {
      step(before, subject_.units[at], after);
      return;
    }
    Set &later = sets_[5];
    later.clear();
    bool any_later = false;
    if (at + 1 < subject_.length)
      any_later = step_elements(before, subject_.units[at], subject_.units[at + 1], later);
    step(before, subject_.units[at], after);
    // The rotation: what was due has arrived, what was soon is due, `later` is soon.
    std::swap(sets_[3], sets_[4]);
    std::swap(sets_[4], sets_[5]);
    due_ = soon_;
    soon_ = any_later;
  }

  void step(const Set &before, uint32_t ch, Set &after) const {
    regex::step(StepRange{program_, first_, stop_}, before, ch, after);
  }

  void between(Set &st, size_t at) const {
    regex::between(StepRange{program_, first_, stop_}, boundaries_, at, st);
  }

  // Bracket-set instructions whose set has the element (first, second).
  bool step_elements(const Set &before, PLUChar first, PLUChar second, Set &later) const {
    bool any = false;
    for (uint32_t pc = first_; pc != stop_; ++pc) {
      Instruction s = program_.strip[pc];
      if (op_of(s) == kAnyOf && before.has(pc) &&
          has_element(program_.sets[operand_of(s)], first, second)) {
        later.add(pc + 1);
        any = true;
      }
    }
    return any;
  }

  const Program &program_;
  const Subject &subject_;
  Boundaries boundaries_;
  bool elements_;
  uint64_t &walked_;
  uint32_t first_ = 0, stop_ = 0;
  bool due_ = false, soon_ = false;
  Set sets_[kSetSlots];
};

}  // namespace

SetSpace::SetSpace(uint32_t nstates) : nstates_(nstates) {
  if (nstates <= kWordSetStates) return;
  if (nstates <= kStackStates) {
    base_ = stack_;
    return;
  }
  heap_ = create_array<uint8_t>(static_cast<size_t>(nstates) * kSetSlots);
  base_ = heap_;
}

SetSpace::~SetSpace() { release(heap_); }

bool has_element(const BracketSet &set, PLUChar first, PLUChar second) {
  if (set.elements == nullptr) return false;
  for (const PLUChar *e = set.elements; e[0] != 0;) {
    size_t length = 1;
    while (e[length] != 0) ++length;
    if (length == 2 && e[0] == first && e[1] == second) return true;
    e += length + 1;
  }
  return false;
}

Automaton::Automaton(const Program &program, const Subject &subject)
    : program_(program),
      subject_(subject),
      space_(program.nstates),
      elements_(any_elements(program)) {}

template <class Run>
auto Automaton::with_engine(Run run) {
  if (program_.nstates <= kWordSetStates) {
    Engine<WordSet> engine(program_, subject_, space_, elements_, walked_);
    return run(engine);
  }
  Engine<ByteSet> engine(program_, subject_, space_, elements_, walked_);
  return run(engine);
}

bool Automaton::first_end(size_t from, size_t *end, size_t *candidate) {
  return with_engine([&](auto &engine) { return engine.first_end(from, end, candidate); });
}

size_t Automaton::longest_end(size_t start, size_t stop, uint32_t first, uint32_t stop_state) {
  return with_engine(
      [&](auto &engine) { return engine.longest_end(start, stop, first, stop_state); });
}

bool reference_first_end(const Program &program, const Subject &subject, size_t from,
                         size_t *end, size_t *candidate) {
  Automaton automaton(program, subject);
  return automaton.ready() && automaton.first_end(from, end, candidate);
}

bool reference_longest_end(const Program &program, const Subject &subject, size_t start,
                           size_t *end) {
  Automaton automaton(program, subject);
  if (!automaton.ready()) return false;
  *end = automaton.longest_end(start, subject.length, automaton.start_state(),
                               automaton.final_state());
  return *end != kNoPosition;
}

}  // namespace pl::regex
