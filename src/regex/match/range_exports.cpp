// PLRegrange and its Ex, U and W forms: the ranges of the last search as pointers into
// the text it searched.
#include "charset/navigation/char_walk.h"
#include "charset/shift_rule.h"
#include "regex/regex_program.h"
#include "string/ops/string_walk.h"

namespace pl::regex {
namespace {

// The (start, end) pair `index` of the last search with its program, or null when that
// search recorded no such range.
const int32_t *pair_of(PLRegex *re, int32_t index, const Program **program) {
  const Program *p = program_of(re);
  if (p == nullptr || p->ranges == nullptr || index < 0 || static_cast<uint32_t>(index) > p->nsub)
    return nullptr;
  const int32_t *pair = p->ranges + 2 * static_cast<size_t>(index);
  if (pair[0] < 0 || pair[1] < pair[0]) return nullptr;
  *program = p;
  return pair;
}

template <class T>
int32_t range_of(PLRegex *re, int32_t index, const T **start, const T **end) {
  if (start != nullptr) *start = nullptr;
  if (end != nullptr) *end = nullptr;
  const Program *program;
  const int32_t *pair = pair_of(re, index, &program);
  if (pair == nullptr) return 0;
  const T *base = static_cast<const T *>(program->match_base);
  if (start != nullptr) *start = base + pair[0];
  if (end != nullptr) *end = base + pair[1];
  return 0;
}

}  // namespace
}  // namespace pl::regex

extern "C" {

PL_API int32_t PLRegrange(PLRegex *re, int32_t index, const char **start, const char **end) {
  return pl::regex::range_of(re, index, start, end);
}

PL_API int32_t PLRegrangeU(PLRegex *re, int32_t index, const PLUChar **start,
                           const PLUChar **end) {
  return pl::regex::range_of(re, index, start, end);
}

PL_API int32_t PLRegrangeW(PLRegex *re, int32_t index, const PLWChar **start,
                           const PLWChar **end) {
  return pl::regex::range_of(re, index, start, end);
}

// Walks from the match base in its state over the byte offsets, by the default handle's
// code set, to learn the state at each end; without a default handle the offsets are
// taken as they are.
PL_API int32_t PLRegrangeEx(PLRegex *re, int32_t index, const char **start,
                            PLState *startState, const char **end, PLState *endState) {
  if (start != nullptr) *start = nullptr;
  if (end != nullptr) *end = nullptr;
  if (startState != nullptr) *startState = pl::kSingleByteState;
  if (endState != nullptr) *endState = pl::kSingleByteState;
  const pl::regex::Program *program;
  const int32_t *pair = pl::regex::pair_of(re, index, &program);
  if (pair == nullptr) return 0;
  const char *base = static_cast<const char *>(program->match_base);
  pl::WalkEnd to_start{static_cast<size_t>(pair[0]), 0, program->match_state};
  pl::WalkEnd to_end{static_cast<size_t>(pair[1] - pair[0]), 0, program->match_state};
  PLLocale *handle = pl::resolve(nullptr);
  if (!pl::is_unbound(handle)) {
    pl::TextRules rules = pl::text_rules(*handle, true);
    to_start = pl::walk(rules, pl::as_bytes(base), to_start.bytes, to_start.bytes,
                        pl::kNoCharLimit, program->match_state);
    to_end = pl::walk(rules, pl::as_bytes(base + to_start.bytes), to_end.bytes, to_end.bytes,
                      pl::kNoCharLimit, to_start.state);
  }
  if (start != nullptr) *start = base + to_start.bytes;
  if (startState != nullptr) *startState = to_start.state;
  if (end != nullptr) *end = base + to_start.bytes + to_end.bytes;
  if (endState != nullptr) *endState = to_end.state;
  return 0;
}

}  // extern "C"
