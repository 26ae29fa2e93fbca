// Runs random format strings through the printf functions that take an argument
// source (PLSnprintf, PLSnprintfEx, PLSnprintfU, PLWsnprintf), with arguments drawn
// from the input, random flag words and output sizes, in ASCII, UTF-8, double-byte,
// EBCDIC and stateful locales whose decimal point, thousands separator and grouping
// the input may first rewrite. The library must never crash, never write past the
// output (allocated at exactly the given size), return -1 only with code 2, 40 or 51,
// otherwise a count within the size, and end a terminated output with its 0 unit.
//
// Input: a byte choosing the locale, one the flags, one the form and options, one the
// output size, one the format length; then (option bit 7) item rewrites, up to the
// length their first byte gives; then the format; the rest is the pool the argument
// callbacks draw their values from (zeros when it runs out).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_library.h"
#include "polyloc.h"

namespace {

constexpr const char *kLocales[] = {
    "English_UnitedStates.MS1252", "German_Germany.UTF-8",  "Japanese_Japan.MS932",
    "English_UnitedStates.IBM037", "Japanese_Japan.IBM930", "German_Germany.MS1252",
    "French_France.UTF-8",         "English_India.UTF-8",
};


constexpr int32_t kFlags[] = {0,
                              PL_TERMINATE,
                              PL_COUNT_CHARS,
                              PL_TERMINATE | PL_COUNT_CHARS,
                              PL_FROM_TERRITORY,
                              PL_FROM_TERRITORY | PL_TERMINATE,
                              0x10000,
                              0x10000 | PL_TERMINATE | PL_COUNT_CHARS | PL_FROM_TERRITORY,
                              0x2,
                              0x100,
                              -1};

constexpr PLLocaleItem kItems[] = {PL_DECIMAL_POINT, PL_THOUSANDS_SEP, PL_GROUPING};

enum Form { kBase, kEx, kUnits, kPacked };

// The argument callbacks' context: values come from the pool in order; strings are
// built from it and kept until the call returns; %n stores into `count`.
struct Pool {
  Pool(const uint8_t *bytes, size_t n) : data(bytes), size(n) {}

  const uint8_t *data;
  size_t size, at = 0;
  std::deque<std::string> strings;
  std::deque<std::vector<PLWChar>> wide;
  std::deque<std::vector<PLUChar>> units;
  int32_t count = 0;

  uint8_t byte() { return at < size ? data[at++] : 0; }
  template <class T>
  T value() {
    T v{};
    unsigned char raw[sizeof v] = {};
    for (unsigned char &b : raw) b = byte();
    std::memcpy(&v, raw, sizeof v);
    return v;
  }
  // Code units for a string or character: a byte below 0x80 stands for itself, a
  // higher one leads a two-byte code (a double-byte character or a UTF-16 unit).
  uint32_t code() {
    uint8_t b = byte();
    return b < 0x80 ? b : static_cast<uint32_t>(b) << 8 | byte();
  }
  // A length for a string, or -1 for a null pointer.
  int length() {
    uint8_t b = byte();
    return b % 8 == 7 ? -1 : b >> 3;
  }
  const char *string() {
    int n = length();
    if (n < 0) return nullptr;
    std::string &s = strings.emplace_back();
    for (int i = 0; i < n; ++i) {
      uint8_t b = byte();
      s.push_back(static_cast<char>(b != 0 ? b : '0'));
    }
    return s.c_str();
  }
  template <class Unit>
  const Unit *coded(std::deque<std::vector<Unit>> &store) {
    int n = length();
    if (n < 0) return nullptr;
    std::vector<Unit> &s = store.emplace_back();
    for (int i = 0; i < n; ++i) {
      uint32_t c = code();
      s.push_back(static_cast<Unit>(c != 0 ? c : '0'));
    }
    s.push_back(0);
    return s.data();
  }
};

Pool &pool(void *context) { return *static_cast<Pool *>(context); }

// A source whose every function draws from the pool; bit 0 of `missing` leaves one
// function out (the call then fails with PL_ERR_ARGUMENT when it needs it).
PLArgSource source_over(Pool *p, uint8_t missing) {
  PLArgSource s{};
  s.context = p;
  s.getInt = [](void *c) { return pool(c).value<int32_t>(); };
  s.getUnsignedInt = [](void *c) { return pool(c).value<uint32_t>(); };
  s.getShort = [](void *c) { return pool(c).value<int16_t>(); };
  s.getUnsignedShort = [](void *c) { return pool(c).value<uint16_t>(); };
  s.getLong = [](void *c) { return pool(c).value<int32_t>(); };
  s.getUnsignedLong = [](void *c) { return pool(c).value<uint32_t>(); };
  s.getInt64 = [](void *c) { return pool(c).value<int64_t>(); };
  s.getUnsignedInt64 = [](void *c) { return pool(c).value<uint64_t>(); };
  s.getDouble = [](void *c) { return pool(c).value<double>(); };
  s.getLongDouble = [](void *c) { return static_cast<long double>(pool(c).value<double>()); };
  s.getChar = [](void *c) { return static_cast<char>(pool(c).byte()); };
  s.getWideChar = [](void *c) { return static_cast<PLWChar>(pool(c).code()); };
  s.getUnicodeChar = [](void *c) { return static_cast<PLUChar>(pool(c).code()); };
  s.getString = [](void *c) { return pool(c).string(); };
  s.getWideString = [](void *c) { return pool(c).coded(pool(c).wide); };
  s.getUnicodeString = [](void *c) { return pool(c).coded(pool(c).units); };
  s.getPointer = [](void *c) { return static_cast<void *>(&pool(c).count); };
  if (missing & 1) {
    // Slots 1..17 of the record are the functions.
    std::memset(reinterpret_cast<char *>(&s) + sizeof(void *) * (1 + (missing >> 1) % 17), 0, sizeof(void *));
  }
  return s;
}

// The format in the units of the form, 0-terminated (four 0 bytes for the byte forms,
// so that no character reading stops inside the allocation). In the 16- and 32-bit
// forms a byte 0xFF takes the next two bytes as one unit (fuzz_units).
template <class Unit>
std::vector<Unit> format_units(const uint8_t *data, size_t size) {
  std::vector<Unit> units = fuzz_units<Unit>(data, size);
  units.insert(units.end(), sizeof(Unit) == 1 ? 4 : 1, 0);
  return units;
}

// Runs one call into an output of exactly `room` units and checks the result.
template <class Unit, class Call>
void run(PLLocale *l, int32_t room, int32_t flags, bool counts_chars, bool closes_shift, Call call) {
  std::unique_ptr<Unit[]> out(new Unit[static_cast<size_t>(room)]);
  PLState state = 0;
  PLInitState(l, &state);  // clears the error field
  int32_t n = call(out.get(), room);
  int32_t code = PLGetError(l);
  if (n == -1) {
    if (code != PL_ERR_ARGUMENT && code != PL_ERR_BUFFER_TOO_SMALL && code != PL_ERR_FORMAT) std::abort();
    return;
  }
  if (n < 0 || n > room) std::abort();
  // A terminated output ends in its 0 unit, which the count includes; a stateful
  // output may have had no room to close its shift and leave the terminator out.
  if ((flags & PL_TERMINATE) && !counts_chars && n > 0 && out[static_cast<size_t>(n) - 1] != 0 &&
      !(closes_shift && code == PL_ERR_BUFFER_TOO_SMALL))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const FuzzLibrary library;
  if (size < 5) return 0;
  PLLocale *l = PLGetLocale(kLocales[data[0] % std::size(kLocales)], 0, nullptr);
  if (l == nullptr) std::abort();
  int32_t flags = kFlags[data[1] % std::size(kFlags)];
  Form form = static_cast<Form>(data[2] & 3);
  bool measured = data[2] & 4;  // formatLen -1, else the format's length in units
  PLState out_state = (data[2] >> 3) & 1, format_state = (data[2] >> 4) & 1;
  uint8_t missing = data[2] & 0x20 ? data[3] | 1 : 0;
  int32_t room = data[3] % 96;
  const uint8_t *rest = data + 5;
  size_t left = size - 5;
  if ((data[2] & 0x80) && left > 0) {
    size_t items = rest[0] < left - 1 ? rest[0] : left - 1;
    rewrite_text_items(l, rest + 1, items, kItems, 4);
    rest += 1 + items;
    left -= 1 + items;
  }
  size_t format_bytes = data[4] < left ? data[4] : left;
  Pool p(rest + format_bytes, left - format_bytes);
  PLArgSource source = source_over(&p, missing);
  bool stateful = PLGetLocaleNumInfo(l, PL_CODESET_STATEFUL, 0) == 1;

  auto length_of = [&](const auto &units) {
    // Without measuring: the units before the first 0, or all of them.
    size_t n = 0;
    while (units[n] != 0) ++n;
    return measured ? -1 : static_cast<int32_t>(n);
  };
  switch (form) {
    case kBase:
    case kEx: {
      std::vector<char> format = format_units<char>(rest, format_bytes);
      int32_t length = length_of(format);
      // Under PL_COUNT_CHARS a given length counts characters.
      if (length > 0 && (flags & PL_COUNT_CHARS))
        length = form == kEx ? PLNumCharsEx(l, format.data(), format_state, length)
                             : PLNumChars(l, format.data(), length);
      run<char>(l, room, flags, (flags & PL_COUNT_CHARS) != 0, form == kEx && stateful,
                [&](char *out, int32_t n) {
                  return form == kEx ? PLSnprintfEx(l, out, out_state, n, format.data(), format_state, length,
                                                    flags, &source)
                                     : PLSnprintf(l, out, n, format.data(), length, flags, &source);
                });
      break;
    }
    case kUnits: {
      std::vector<PLUChar> format = format_units<PLUChar>(rest, format_bytes);
      int32_t length = length_of(format);
      run<PLUChar>(l, room, flags, false, false, [&](PLUChar *out, int32_t n) {
        return PLSnprintfU(l, out, n, format.data(), length, flags, &source);
      });
      break;
    }
    case kPacked: {
      std::vector<PLWChar> format = format_units<PLWChar>(rest, format_bytes);
      int32_t length = length_of(format);
      run<PLWChar>(l, room, flags, false, false, [&](PLWChar *out, int32_t n) {
        return PLWsnprintf(l, out, n, format.data(), length, flags, &source);
      });
      break;
    }
  }
  PLReleaseLocale(l);
  return 0;
}
