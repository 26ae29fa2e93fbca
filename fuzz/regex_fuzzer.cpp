// Compiles random patterns with random flags in every form (PLRegcomp, PLRegcompEx,
// PLRegcompU, PLRegcompW) in single-byte, double-byte, UTF-8 and stateful EBCDIC
// locales, searches a random subject in the same form, reads every range back and
// releases the expression. The library must never crash, never read outside the texts
// (each allocated at exactly its length, without a terminator when the length is
// given), fail only with the codes of its table, report ranges inside the subject, and
// release everything (the leak check at exit).
//
// Input: a byte choosing the locale, one the compile flags, one the form and options,
// one the pattern length; then the pattern, then the subject. Patterns are cut at 48
// units and subjects at 256 so that a run stays within the fuzzer's time limit.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_library.h"
#include "polyloc.h"

namespace {

constexpr const char *kLocales[] = {
    "English_UnitedStates.MS1252", "Japanese_Japan.UTF-8",        "Japanese_Japan.IBM930",
    "Japanese_Japan.MS932",        "English_UnitedStates.IBM037", "Spanish_Spain.MS1252@TraditionalSpanish",
};

constexpr size_t kLongestPattern = 48;
constexpr size_t kLongestSubject = 256;

enum Form { kBase, kEx, kUnits, kPacked };

bool compile_code_allowed(int32_t code) {
  return code == PL_ERR_FILE || code == PL_ERR_ARGUMENT || code == PL_ERR_NO_MEMORY ||
         (code >= PL_ERR_REGEX_COLLATE && code <= PL_ERR_REGEX_EMPTY);
}

// An exact copy of `units` (with a terminating 0 when `terminated`), so that a read
// past the text is caught.
template <class Unit>
std::unique_ptr<Unit[]> exact_copy(const std::vector<Unit> &units, bool terminated) {
  std::unique_ptr<Unit[]> copy(new Unit[units.size() + (terminated ? 1 : 0)]);
  std::copy(units.begin(), units.end(), copy.get());
  if (terminated) copy[units.size()] = 0;
  return copy;
}

// The ranges of the last search must lie inside [text, text + size] and be ordered.
template <class Unit, class Range>
void check_ranges(PLRegex *re, const Unit *text, size_t size, Range range) {
  for (int32_t i = 0; i <= static_cast<int32_t>(re->nsub) + 1; ++i) {
    const Unit *start = nullptr, *end = nullptr;
    if (range(re, i, &start, &end) != 0) std::abort();
    if ((start == nullptr) != (end == nullptr)) std::abort();
    if (start != nullptr && (start < text || end < start || end > text + size)) std::abort();
  }
}

template <class Unit, class Compile, class Exec, class Range>
void run(PLLocale *l, const uint8_t *pattern, size_t pattern_size, const uint8_t *subject,
         size_t subject_size, int32_t flags, bool terminated, Compile compile, Exec exec,
         Range range) {
  std::vector<Unit> p = fuzz_units<Unit>(pattern, pattern_size);
  std::vector<Unit> s = fuzz_units<Unit>(subject, subject_size);
  p.resize(std::min(p.size(), kLongestPattern));
  s.resize(std::min(s.size(), kLongestSubject));
  if (terminated) {
    // A NUL inside would end the text early: the lengths below must be exact.
    std::replace(p.begin(), p.end(), Unit{0}, Unit{1});
    std::replace(s.begin(), s.end(), Unit{0}, Unit{1});
  }
  auto p_copy = exact_copy(p, terminated);
  auto s_copy = exact_copy(s, terminated);
  PLRegex *re = compile(p_copy.get(), terminated ? -1 : static_cast<int32_t>(p.size()), flags);
  if (re == nullptr) {
    if (!compile_code_allowed(PLGetError(l))) std::abort();
    return;
  }
  int32_t found = exec(re, s_copy.get(), terminated ? -1 : static_cast<int32_t>(s.size()));
  if (found == -1) {
    int32_t code = PLGetError(l);
    if (code != PL_ERR_NO_MEMORY && code != PL_ERR_FILE) std::abort();
  } else if (found != 0 && found != 1) {
    std::abort();
  }
  check_ranges(re, s_copy.get(), s.size(), range);
  if (PLRegfree(l, re) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static FuzzLibrary library;
  if (size < 4) return 0;
  PLLocale *l = PLGetLocale(kLocales[data[0] % std::size(kLocales)], 0, nullptr);
  if (l == nullptr) return 0;
  int32_t flags = (data[1] & 0x3E) << 16 | (data[1] & 1 ? PL_COUNT_CHARS : 0);
  if (data[1] & 0x40) flags |= 0x800;  // a flag no form accepts
  Form form = static_cast<Form>(data[2] & 3);
  bool terminated = (data[2] & 4) != 0;
  PLState state = (data[2] & 8) != 0 ? 1 : 0;
  const uint8_t *pattern = data + 4;
  size_t rest = size - 4;
  size_t pattern_size = std::min<size_t>(data[3], rest);
  const uint8_t *subject = pattern + pattern_size;
  size_t subject_size = rest - pattern_size;

  switch (form) {
    case kBase:
      run<char>(
          l, pattern, pattern_size, subject, subject_size, flags & ~PL_COUNT_CHARS, terminated,
          [&](const char *p, int32_t n, int32_t f) { return PLRegcomp(l, p, n, f); },
          [&](PLRegex *re, const char *s, int32_t n) { return PLRegexec(l, re, s, n, s, 0); },
          PLRegrange);
      break;
    case kEx:
      run<char>(
          l, pattern, pattern_size, subject, subject_size, flags & ~PL_COUNT_CHARS, terminated,
          [&](const char *p, int32_t n, int32_t f) { return PLRegcompEx(l, p, state, n, f); },
          [&](PLRegex *re, const char *s, int32_t n) {
            return PLRegexecEx(l, re, s, state, n, s, 0);
          },
          [](PLRegex *re, int32_t i, const char **start, const char **end) {
            PLState a, b;
            return PLRegrangeEx(re, i, start, &a, end, &b);
          });
      break;
    case kUnits:
      run<PLUChar>(
          l, pattern, pattern_size, subject, subject_size, flags, terminated,
          [&](const PLUChar *p, int32_t n, int32_t f) { return PLRegcompU(l, p, n, f); },
          [&](PLRegex *re, const PLUChar *s, int32_t n) { return PLRegexecU(l, re, s, n, s, 0); },
          PLRegrangeU);
      break;
    case kPacked:
      run<PLWChar>(
          l, pattern, pattern_size, subject, subject_size, flags, terminated,
          [&](const PLWChar *p, int32_t n, int32_t f) { return PLRegcompW(l, p, n, f); },
          [&](PLRegex *re, const PLWChar *s, int32_t n) { return PLRegexecW(l, re, s, n, s, 0); },
          PLRegrangeW);
      break;
  }
  PLReleaseLocale(l);
  return 0;
}
