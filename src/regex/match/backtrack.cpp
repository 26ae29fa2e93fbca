#include "regex/match/backtrack.h"

#include <algorithm>
#include <cstring>

#include "frame/memory.h"
#include "regex/match/boundaries.h"

namespace pl::regex {
namespace {

// The budget: this many steps per unit of the subject and instruction of the program,
// and never fewer than the floor. A pass of the automaton costs one step per
// instruction at each position it reaches.
constexpr uint64_t kStepsPerUnitAndState = 64;
constexpr uint64_t kStepFloor = uint64_t{1} << 26;

class Budget {
 public:
  Budget(size_t length, uint32_t nstates) {
    uint64_t units = static_cast<uint64_t>(length) + 1;
    uint64_t states = static_cast<uint64_t>(nstates) + 1;
    uint64_t cap = UINT64_MAX / kStepsPerUnitAndState;
    uint64_t size = units > cap / states ? cap : units * states;
    left_ = std::max(kStepFloor, size * kStepsPerUnitAndState);
  }

  bool spend(uint64_t steps) {
    if (steps > left_) return false;
    left_ -= steps;
    return true;
  }

 private:
  uint64_t left_;
};

enum class Outcome { kMatch, kNoMatch, kExhausted, kNoMemory };

// A walk of the program over one stretch of the subject that must be matched whole,
// trying alternatives in order. Choices still open and the assignments to undo when the
// walk backs out of them are kept on a stack from the heap.
class Backtracker {
 public:
  Backtracker(const Program &program, const Subject &subject, int32_t *ranges, size_t *loops,
              Budget &budget)
      : program_(program),
        subject_(subject),
        boundaries_(subject, (program.compile_flags & PL_REG_NEWLINE) != 0),
        ranges_(ranges),
        loops_(loops),
        budget_(budget) {}
  ~Backtracker() { release(entries_); }
  Backtracker(const Backtracker &) = delete;
  Backtracker &operator=(const Backtracker &) = delete;

  // Matches [start, stop) with the whole program. After kNoMatch the ranges and loop
  // positions are as they were.
  Outcome run(size_t start, size_t stop) {
    count_ = 0;
    stop_ = stop;
    uint32_t ss = program_.first_state + 1, level = 0;
    size_t sp = start;
    for (;;) {
      if (!budget_.spend(1)) return Outcome::kExhausted;
      Next next;
      if (ss == program_.last_state) {
        if (sp == stop) return Outcome::kMatch;
        next = Next::kFail;
      } else {
        next = execute(ss, sp, level);
      }
      if (next == Next::kNoMemory) return Outcome::kNoMemory;
      if (next == Next::kExhausted) return Outcome::kExhausted;
      if (next == Next::kFail && !resume(ss, sp, level)) return Outcome::kNoMatch;
    }
  }

 private:
  enum class Next { kGo, kFail, kNoMemory, kExhausted };
  enum Kind : uint8_t { kResume, kRestoreStart, kRestoreEnd, kRestoreLoop };
  // kResume: go on at `state` with `value` as the position; the others put `value` back
  // into the range or loop position `state`.
  struct Entry {
    Kind kind;
    uint32_t state;
    uint32_t level;
    size_t value;
  };

  Next execute(uint32_t &ss, size_t &sp, uint32_t &level) {
    const Instruction *strip = program_.strip;
    Instruction s = strip[ss];
    uint32_t operand = operand_of(s);
    switch (op_of(s)) {
      case kChar:
        if (sp == stop_ || subject_.units[sp] != operand) return Next::kFail;
        ++sp;
        break;
      case kAny:
        if (sp == stop_) return Next::kFail;
        ++sp;
        break;
      case kAnyOf:
        return any_of(program_.sets[operand], ss, sp, level);
      case kBol:
      case kEol:
      case kBow:
      case kEow:
        if (!boundaries_.holds(op_of(s), sp)) return Next::kFail;
        break;
      case kCloseQuest:
      case kCloseAlt:
        break;
      case kAltBranch:  // a branch is done: go on behind the whole alternation
        ++ss;
        while (op_of(strip[ss]) != kCloseAlt) ss += operand_of(strip[ss]);
        break;
      case kOpenAlt:  // the first branch; the others wait at their kLastBranch
      case kLastBranch:
        if (op_of(strip[ss + operand]) == kLastBranch && !push(kResume, ss + operand, level, sp))
          return Next::kNoMemory;
        break;
      case kOpenQuest:
        if (!push(kResume, ss + operand + 1, level, sp)) return Next::kNoMemory;
        break;
      case kOpenPlus:
        if (level + 1 > program_.nplus) return Next::kFail;
        ++level;
        if (!push(kRestoreLoop, level, 0, loops_[level])) return Next::kNoMemory;
        loops_[level] = sp;
        break;
      case kClosePlus:
        if (level == 0) return Next::kFail;
        if (sp == loops_[level]) {  // the last pass took nothing: leave the loop
          --level;
          break;
        }
        // Another pass first; leaving the loop is the alternative.
        if (!push(kRestoreLoop, level, 0, loops_[level]) || !push(kResume, ss + 1, level - 1, sp))
          return Next::kNoMemory;
        loops_[level] = sp;
        ss -= operand;
        break;
      case kOpenParen:
      case kCloseParen: {
        uint32_t slot = 2 * operand + (op_of(s) == kCloseParen ? 1 : 0);
        if (!push(op_of(s) == kOpenParen ? kRestoreStart : kRestoreEnd, operand, 0,
                  static_cast<size_t>(ranges_[slot])))
          return Next::kNoMemory;
        ranges_[slot] = static_cast<int32_t>(sp);
        break;
      }
      case kOpenBackref:
        return back_reference(operand, ss, sp);
      default:
        return Next::kFail;
    }
    ++ss;
    return Next::kGo;
  }

  // A bracket set takes one unit, or two for one of its collating elements; when both
  // fit, the element is tried first.
  Next any_of(const BracketSet &set, uint32_t &ss, size_t &sp, uint32_t level) {
    if (sp == stop_) return Next::kFail;
    const PLUChar *units = subject_.units;
    bool single = set.contains(units[sp]);
    bool pair = sp + 1 < stop_ && has_element(set, units[sp], units[sp + 1]);
    if (!single && !pair) return Next::kFail;
    if (single && pair && !push(kResume, ss + 1, level, sp + 1)) return Next::kNoMemory;
    sp += pair ? 2 : 1;
    ++ss;
    return Next::kGo;
  }

  // The text of subexpression `number` again; the copy of the subexpression that
  // follows (for the automaton) is skipped.
  Next back_reference(uint32_t number, uint32_t &ss, size_t &sp) {
    if (number == 0 || number > program_.nsub) return Next::kFail;
    int32_t from = ranges_[2 * number], to = ranges_[2 * number + 1];
    if (from < 0 || to < from) return Next::kFail;
    size_t length = static_cast<size_t>(to - from);
    if (stop_ - sp < length) return Next::kFail;
    if (!budget_.spend(length)) return Next::kExhausted;
    if (std::memcmp(subject_.units + sp, subject_.units + from, length * sizeof(PLUChar)) != 0)
      return Next::kFail;
    sp += length;
    Instruction close = instruction(kCloseBackref, number);
    while (ss < program_.last_state && program_.strip[ss] != close) ++ss;
    ++ss;
    return Next::kGo;
  }

  bool push(Kind kind, uint32_t state, uint32_t level, size_t value) {
    if (count_ == capacity_ && !grow()) return false;
    entries_[count_++] = {kind, state, level, value};
    return true;
  }

  bool grow() {
    size_t capacity = capacity_ == 0 ? 64 : capacity_ * 2;
    Entry *entries = create_array<Entry>(capacity);
    if (entries == nullptr) return false;
    if (count_ != 0) std::memcpy(entries, entries_, count_ * sizeof(Entry));
    release(entries_);
    entries_ = entries;
    capacity_ = capacity;
    return true;
  }

  // Backs out to the latest open choice, undoing what was assigned since; false when
  // none is left.
  bool resume(uint32_t &ss, size_t &sp, uint32_t &level) {
    while (count_ > 0) {
      const Entry &e = entries_[--count_];
      switch (e.kind) {
        case kResume:
          ss = e.state;
          sp = e.value;
          level = e.level;
          return true;
        case kRestoreStart:
          ranges_[2 * e.state] = static_cast<int32_t>(e.value);
          break;
        case kRestoreEnd:
          ranges_[2 * e.state + 1] = static_cast<int32_t>(e.value);
          break;
        case kRestoreLoop:
          loops_[e.state] = e.value;
          break;
      }
    }
    return false;
  }

  const Program &program_;
  const Subject &subject_;
  Boundaries boundaries_;
  int32_t *ranges_;
  size_t *loops_;
  Budget &budget_;
  size_t stop_ = 0;
  Entry *entries_ = nullptr;
  size_t count_ = 0, capacity_ = 0;
};

int32_t failure(Outcome outcome, Code *code) {
  *code = outcome == Outcome::kNoMemory ? PL_ERR_NO_MEMORY : kSearchError;
  return -1;
}

}  // namespace

int32_t backref_search(WholePasses &passes, Automaton &automaton, const Program &program,
                       const Subject &subject, size_t candidate, int32_t *ranges, Span *match,
                       Code *code) {
  HeapArray<size_t> loops(program.nplus + 1);
  if (loops.data() == nullptr) return failure(Outcome::kNoMemory, code);
  Budget budget(subject.length, program.nstates);
  Backtracker walker(program, subject, ranges, loops.data(), budget);
  const uint32_t first = automaton.start_state(), final = automaton.final_state();
  uint64_t charged = automaton.walked();
  // Charges the reference passes run since the last call.
  auto pay = [&] {
    uint64_t walked = automaton.walked();
    bool paid = budget.spend((walked - charged) * program.nstates);
    charged = walked;
    return paid;
  };
  for (;;) {
    // The leftmost start from the candidate on, and its longest end.
    size_t start = candidate, stop = kNoPosition;
    if (!automaton.has_elements()) {
      if (!automaton.leftmost_start(candidate, &start)) return failure(Outcome::kNoMemory, code);
      if (start != kNoPosition) stop = automaton.longest_end(start, subject.length, first, final);
    } else {
      while ((stop = automaton.longest_end(start, subject.length, first, final)) == kNoPosition &&
             start < subject.length)
        ++start;
    }
    if (!pay()) return failure(Outcome::kExhausted, code);
    if (stop == kNoPosition) return 0;
    // The back references decide; shorter ends are tried while they fail.
    Outcome outcome = walker.run(start, stop);
    while (outcome == Outcome::kNoMatch && stop > start) {
      stop = automaton.longest_end(start, stop - 1, first, final);
      if (!pay()) return failure(Outcome::kExhausted, code);
      if (stop == kNoPosition) break;
      outcome = walker.run(start, stop);
    }
    if (outcome == Outcome::kMatch) {
      *match = {start, stop};
      return 1;
    }
    if (outcome != Outcome::kNoMatch) return failure(outcome, code);
    // No match starts there after all: search again one unit on.
    size_t end;
    if (start == subject.length || !passes.first_end(start + 1, &end, &candidate)) return 0;
    charged = automaton.walked();
    if (!budget.spend((end - start) * static_cast<uint64_t>(program.nstates)))
      return failure(Outcome::kExhausted, code);
  }
}

}  // namespace pl::regex
