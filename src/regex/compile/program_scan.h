// What the matcher learns from a finished strip before it runs: the literal every match
// contains, and how deeply + loops nest.
#pragma once

#include "regex/regex_program.h"

namespace pl::regex {

// Sets program.must and must_length to the longest literal run every match contains (the
// first of equal length); none when its copy cannot be allocated. An option or an
// alternation whose distances do not lead to its end marks the program inconsistent.
void find_must(Program &program);

// The deepest nesting of + loops; unbalanced loops mark the program inconsistent.
uint32_t plus_nesting(Program &program);

}  // namespace pl::regex
