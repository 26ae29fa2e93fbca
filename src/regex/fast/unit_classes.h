// The 65536 code units split into the classes a program cannot tell apart: same
// literal, same membership in every bracket set, same kind for the pseudo-characters.
// The DFA's transition rows are indexed by class instead of by unit.
#pragma once

#include <cstdint>

#include "regex/fast/state_step.h"
#include "regex/regex_program.h"

namespace pl::regex {

struct UnitClasses {
  uint16_t *class_of;        // per unit
  uint16_t *representative;  // per class: its lowest unit
  UnitKind *kind;            // per class
  uint32_t count;

  // False when memory ran out (nothing is left allocated then).
  bool build(const Program &program);
  void release();
};

}  // namespace pl::regex
