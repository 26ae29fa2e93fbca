// Runs random texts under random formats through PLStringToTime, PLStringToTimeEx,
// PLStringToTimeU and PLStringToTimeW, with random flags and start states, in ASCII,
// UTF-8, double-byte, EBCDIC and stateful locales whose date and time formats the
// input may first rewrite (so that nested formats, and formats that nest themselves,
// are reached). The library must never crash, never read outside the texts (each
// allocated at exactly its length, without a terminator when the length is given),
// return -1 only with code 2, 20, 35, 37 or 51, and otherwise a count within the input.
//
// Input: a byte choosing the locale, one the flags, one the form and options, one the
// format length; then (option bit 6) item rewrites, up to the length their first byte
// gives; then the format, then the input text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_library.h"
#include "polyloc.h"

namespace {

constexpr const char *kLocales[] = {
    "English_UnitedStates.MS1252", "Japanese_Japan.UTF-8",  "Japanese_Japan.IBM930",
    "Japanese_Japan.MS932",        "English_UnitedStates.IBM037", "German_Germany.UTF-8",
};

constexpr int32_t kFlags[] = {0,
                              PL_TIME_CHECK_DAY,
                              PL_COUNT_CHARS,
                              PL_COUNT_CHARS | PL_TIME_CENTURY_1900 | PL_TIME_CHECK_DAY,
                              PL_FROM_TERRITORY,
                              PL_EOL_LF,
                              PL_EOL_ANY | PL_COUNT_CHARS,
                              PL_TIME_CENTURY_1900,
                              0x2,
                              -1};

constexpr PLLocaleItem kItems[] = {PL_TIME_FORMAT, PL_DATE_FORMAT, PL_LONG_DATE_FORMAT};

enum Form { kBase, kEx, kUnits, kPacked };

// Bytes in the units of the form; in the 16- and 32-bit forms a byte 0xFF takes the
// next two bytes as one unit. With `terminated`, a 0 unit is appended.
template <class Unit>
std::vector<Unit> units_of(const uint8_t *data, size_t size, bool terminated) {
  std::vector<Unit> units = fuzz_units<Unit>(data, size);
  if (terminated) units.push_back(0);
  return units;
}

// `count(text, units, input)`: the length the call is given for the input or the
// format of `units` units (characters under PL_COUNT_CHARS in the byte forms).
template <class Unit, class Call, class Count>
void run(PLLocale *l, const uint8_t *format, size_t format_size, const uint8_t *input,
         size_t input_size, bool terminated, Call call, Count count) {
  std::vector<Unit> f = units_of<Unit>(format, format_size, terminated);
  std::vector<Unit> in = units_of<Unit>(input, input_size, terminated);
  auto length = [&](const std::vector<Unit> &v) {
    return terminated ? -1 : count(v.data(), static_cast<int32_t>(v.size()), &v == &in);
  };
  // Exact allocations: a read past either text is caught.
  std::unique_ptr<Unit[]> f_copy(new Unit[f.size()]), in_copy(new Unit[in.size()]);
  std::copy(f.begin(), f.end(), f_copy.get());
  std::copy(in.begin(), in.end(), in_copy.get());
  struct tm time;
  int32_t n = call(&time, in_copy.get(), length(in), f_copy.get(), length(f));
  int32_t code = PLGetError(l);
  if (n == -1) {
    if (code != PL_ERR_ARGUMENT && code != PL_ERR_NO_MEMORY && code != PL_ERR_UNKNOWN_ITEM &&
        code != PL_ERR_NOT_FOUND && code != PL_ERR_FORMAT)
      std::abort();
    return;
  }
  if (n < 0 || static_cast<size_t>(n) > in.size() || code != PL_OK) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const FuzzLibrary library;
  if (size < 4) return 0;
  PLLocale *l = PLGetLocale(kLocales[data[0] % std::size(kLocales)], 0, nullptr);
  if (l == nullptr) std::abort();
  int32_t flags = kFlags[data[1] % std::size(kFlags)];
  Form form = static_cast<Form>(data[2] & 3);
  bool terminated = data[2] & 4;
  PLState input_state = (data[2] >> 3) & 1, format_state = (data[2] >> 4) & 1;
  const uint8_t *rest = data + 4;
  size_t left = size - 4;
  if (data[2] & 0x40 && left > 0) {
    size_t n = rest[0] < left ? rest[0] : left - 1;
    rewrite_text_items(l, rest + 1, n, kItems, 8);
    rest += n + 1;
    left -= n + 1;
  }
  size_t format_size = data[3] < left ? data[3] : left;
  const uint8_t *input = rest + format_size;
  size_t input_size = left - format_size;
  // A 0 byte inside a text that is given with its length is a character like any
  // other; a measured text ends at its first.
  bool chars = (flags & PL_COUNT_CHARS) != 0 && flags != -1;
  auto units = [](const void *, int32_t n, bool) { return n; };
  auto base_chars = [&](const char *text, int32_t n, bool) {
    return chars ? PLNumChars(l, text, n) : n;
  };
  auto ex_chars = [&](const char *text, int32_t n, bool input) {
    return chars ? PLNumCharsEx(l, text, input ? input_state : format_state, n) : n;
  };
  switch (form) {
    case kBase:
      run<char>(l, rest, format_size, input, input_size, terminated,
                [&](struct tm *t, const char *in, int32_t n, const char *f, int32_t fn) {
                  return PLStringToTime(l, t, in, n, f, fn, flags);
                }, base_chars);
      break;
    case kEx:
      run<char>(l, rest, format_size, input, input_size, terminated,
                [&](struct tm *t, const char *in, int32_t n, const char *f, int32_t fn) {
                  return PLStringToTimeEx(l, t, in, input_state, n, f, format_state, fn, flags);
                }, ex_chars);
      break;
    case kUnits:
      run<PLUChar>(l, rest, format_size, input, input_size, terminated,
                   [&](struct tm *t, const PLUChar *in, int32_t n, const PLUChar *f, int32_t fn) {
                     return PLStringToTimeU(l, t, in, n, f, fn, flags);
                   }, units);
      break;
    case kPacked:
      run<PLWChar>(l, rest, format_size, input, input_size, terminated,
                   [&](struct tm *t, const PLWChar *in, int32_t n, const PLWChar *f, int32_t fn) {
                     return PLStringToTimeW(l, t, in, n, f, fn, flags);
                   }, units);
      break;
  }
  PLReleaseLocale(l);
  return 0;
}
