#include "regex/compile/program_scan.h"

#include "frame/memory.h"

namespace pl::regex {
namespace {

bool closes_option(Op op) { return op == kCloseQuest || op == kCloseAlt; }

}  // namespace

void find_must(Program &program) {
  const Instruction *strip = program.strip;
  size_t scan = program.first_state + 1;
  size_t run_start = 0, run_length = 0, best_start = 0, best_length = 0;
  Instruction s;
  do {
    s = strip[scan++];
    switch (op_of(s)) {
      case kChar:
        if (run_length++ == 0) run_start = scan - 1;
        break;
      case kOpenPlus:  // a loop's body is there at least once
      case kOpenParen:
      case kCloseParen:
        break;
      case kOpenQuest:  // skipped whole: it may match nothing
      case kOpenAlt:
        --scan;
        do {
          scan += operand_of(s);
          if (scan >= program.nstates) {
            program.internal_flags |= kInconsistent;
            return;
          }
          s = strip[scan];
          if (!closes_option(op_of(s)) && op_of(s) != kLastBranch) {
            program.internal_flags |= kInconsistent;
            return;
          }
        } while (!closes_option(op_of(s)));
        [[fallthrough]];
      default:
        if (run_length > best_length) {
          best_start = run_start;
          best_length = run_length;
        }
        run_length = 0;
        break;
    }
  } while (op_of(s) != kEnd);

  if (best_length == 0) return;
  PLUChar *must = create_array<PLUChar>(best_length + 1);
  if (must == nullptr) return;
  for (size_t i = 0, at = best_start; i < best_length; ++at) {
    if (op_of(strip[at]) == kChar) must[i++] = static_cast<PLUChar>(operand_of(strip[at]));
  }
  program.must = must;
  program.must_length = static_cast<uint32_t>(best_length);
}

uint32_t plus_nesting(Program &program) {
  int64_t depth = 0, deepest = 0;
  for (size_t scan = program.first_state + 1; scan < program.nstates; ++scan) {
    Op op = op_of(program.strip[scan]);
    if (op == kOpenPlus) {
      ++depth;
    } else if (op == kClosePlus) {
      if (depth > deepest) deepest = depth;
      --depth;
    } else if (op == kEnd) {
      break;
    }
  }
  if (depth != 0) program.internal_flags |= kInconsistent;
  return static_cast<uint32_t>(deepest);
}

}  // namespace pl::regex
