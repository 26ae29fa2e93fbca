// PLStringToLong against strtol and strtoul, PLStringToDouble against strtod, on random
// texts without thousands separators: the same value (bit for bit for doubles) and the
// same end, except where the parsers are documented to differ. Those differences are
// applied to glibc's answer by rule, never by skipping a text:
//   - A number without digits: strtol and strtod read nothing; the library reads the
//     white space and the sign (a double also a decimal point) and ends behind them.
//   - Base 0 or 16, "0x" with no hex digit behind it: strtol reads the "0", the library
//     the "0x"; both give 0.
//   - Overflow: strtol reads every digit; the library stops behind the digit that takes
//     the value above 0x7FFFFFFF (0xFFFFFFFF unsigned) and gives 0x7FFFFFFF or
//     0x80000000 (0xFFFFFFFF unsigned).
//   - Unsigned with a minus sign: strtoul negates; the library gives 0 and ends at the
//     sign.
//   - An exponent marker without exponent digits: strtod ends in front of it, the
//     library behind it and its sign (the value is the same).
//   - d and D are exponent markers as e and E: strtod is given e for them.
// Texts hold no inf, nan or hexadecimal floats, which only strtod reads.
#include <bit>
#include <cerrno>
#include <cfloat>

#include "format/number_calls.h"

namespace {

using namespace numtest;
using std::string;

struct Expected {
  int64_t value;
  size_t end;
};

class GlibcParse : public NumberTest {
 protected:
  PLLocale *l_ = open("English_UnitedStates.MS1252");
  std::mt19937_64 random_{20240611};

  size_t pick(size_t n) { return static_cast<size_t>(random_() % n); }
  bool chance(unsigned in) { return pick(in) == 0; }
};

bool is_c_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Where the library's prefix ends: white space, then one sign.
size_t after_space_and_sign(const string &text) {
  size_t at = 0;
  while (at < text.size() && is_c_space(text[at])) ++at;
  return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

// ---- Longs ----

// `value` written in `base`.
string in_base(uint64_t value, int base) {
  string text;
  do text.insert(text.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[value % base]);
  while ((value /= base) != 0);
  return text;
}

// White space, signs, a 0x prefix, then up to 40 digits and letters (most overflow), or
// a value next to a limit of 32 bits written in `base` (0: decimal or hexadecimal).
string random_long_text(std::mt19937_64 &random, int base) {
  auto pick = [&](const char *set) { return set[random() % std::char_traits<char>::length(set)]; };
  string text;
  for (size_t n = random() % 3; n > 0; --n) text += pick(" \t\n\v\f\r");
  if (random() % 3 == 0) text += pick("+-");
  if (random() % 8 == 0) text += pick("+- ");
  if (random() % 4 == 0) {
    uint64_t limit = random() % 2 ? 0x80000000u : 0x100000000u;
    bool hex = base == 16 || (base == 0 && random() % 2);
    if (hex) text += random() % 2 ? "0x" : "";
    text += in_base(limit - 2 + random() % 5, hex ? 16 : base == 0 ? 10 : base);
    if (random() % 4 == 0) text += pick("0123456789abcdefz");
    return text;
  }
  if (random() % 3 == 0) text += random() % 2 ? "0x" : "0X";
  else if (random() % 4 == 0) text += '0';
  for (size_t n = random() % 41; n > 0; --n)
    text += random() % 4 ? pick("0123456789") : pick("abcdefghijklmnopqrstuvwxyzABFXZ");
  if (random() % 4 == 0) text += pick(" .-+_x");
  return text;
}

// glibc's answer, made the library's by the rules above.
Expected expected_long(const string &text, int base, bool is_unsigned) {
  const char *s = text.c_str();
  char *end = nullptr;
  errno = 0;
  size_t prefix = after_space_and_sign(text);
  bool minus = prefix > 0 && text[prefix - 1] == '-';
  if (is_unsigned && minus) return {0, prefix - 1};
  int64_t value = is_unsigned ? static_cast<int64_t>(std::strtoul(s, &end, base))
                              : static_cast<int64_t>(std::strtol(s, &end, base));
  size_t read = static_cast<size_t>(end - s);
  if (read == 0) return {0, prefix};
  bool hex = base == 0 || base == 16;
  if (hex && read == prefix + 1 && text[prefix] == '0' && prefix + 1 < text.size() &&
      (text[prefix + 1] == 'x' || text[prefix + 1] == 'X'))
    return {0, prefix + 2};
  // The magnitude the library may hold, and the first prefix of the text beyond it.
  uint64_t limit = is_unsigned ? 0xFFFFFFFFu : 0x7FFFFFFFu;
  auto beyond = [&](const string &t) {
    errno = 0;
    if (is_unsigned) return std::strtoul(t.c_str(), nullptr, base) > limit || errno == ERANGE;
    long v = std::strtol(t.c_str(), nullptr, base);
    uint64_t magnitude = v < 0 ? static_cast<uint64_t>(-(v + 1)) + 1 : static_cast<uint64_t>(v);
    return errno == ERANGE || magnitude > limit;
  };
  if (!beyond(text.substr(0, read))) return {value, read};
  size_t stop = prefix + 1;
  while (!beyond(text.substr(0, stop))) ++stop;
  int64_t extreme = is_unsigned ? 0xFFFFFFFFll : minus ? INT32_MIN : INT32_MAX;
  return {extreme, stop};
}

// Each text in every form but Ex (the base form's on a set without shift states),
// by its NUL or, every other text, by its length from a buffer that holds just it.
TEST_F(GlibcParse, LongsAsStrtol) {
  for (size_t i = 0; i < sweep(200000, 4000000); ++i) {
    int base = chance(4) ? 0 : static_cast<int>(2 + pick(35));
    string text = random_long_text(random_, base);
    bool is_unsigned = chance(3);
    Expected want = expected_long(text, base, is_unsigned);
    int32_t length = i % 2 ? static_cast<int32_t>(text.size()) : -1;
    for (Form form : {B, UF, WF}) {
      if (form != B && i % 8 != 0) continue;
      Read got = read(l_, form, widen(text), length, base, is_unsigned ? PL_NUM_UNSIGNED : 0);
      ASSERT_EQ(got.value, static_cast<int32_t>(want.value))
          << kFormNames[form] << " \"" << text << "\" base " << base << (is_unsigned ? " unsigned" : "");
      ASSERT_EQ(static_cast<size_t>(got.end), want.end) << '"' << text << "\" base " << base;
    }
  }
}

// ---- Doubles ----

string digits(std::mt19937_64 &random, size_t n) {
  string s;
  for (; n > 0; --n) s += static_cast<char>('0' + random() % 10);
  return s;
}

// A decimal text: white space, a sign, up to 40 mantissa digits (often leading zeros)
// around a point, an exponent from -400 to 400 (now and then far beyond), junk behind.
string random_double_text(std::mt19937_64 &random) {
  auto pick = [&](const char *set) { return set[random() % std::char_traits<char>::length(set)]; };
  string text;
  for (size_t n = random() % 3; n > 0; --n) text += pick(" \t\n");
  if (random() % 2 == 0) text += pick("+-");
  if (random() % 4 == 0) text += string(random() % 12, '0');
  size_t total = random() % 41, whole = random() % (total + 1);
  text += digits(random, whole);
  if (random() % 4 != 0) text += '.';
  text += digits(random, total - whole);
  if (random() % 2 == 0) {
    text += pick("eEeEdD");
    if (random() % 2 == 0) text += pick("+-");
    long exponent = random() % 16 == 0 ? static_cast<long>(random() % 100000000000)
                                       : static_cast<long>(random() % 801) - 400;
    if (random() % 16 != 0) text += std::to_string(exponent < 0 ? -exponent : exponent);
  }
  if (random() % 4 == 0) text += pick(" .+-eEdD#0");
  return text;
}

// The exact decimal text of the point halfway between a random double and the next
// one up, or a text just below or just above it: each a test of the last rounding.
string near_halfway_text(std::mt19937_64 &random) {
  double d;
  do d = std::bit_cast<double>(random() >> (random() % 2 ? 1 : 12));  // often subnormal
  while (!std::isfinite(d) || d == 0 || d == DBL_MAX);
  long double half = (static_cast<long double>(d) + std::nextafter(d, HUGE_VAL)) / 2;
  char text[1200];
  std::snprintf(text, sizeof text, "%.800Le", half);  // exact: 54 bits need fewer digits
  string s = text;
  size_t e = s.find('e');
  string mantissa = s.substr(0, e), exponent = s.substr(e);
  mantissa.erase(mantissa.find_last_not_of('0') + 1);
  switch (random() % 3) {
    case 0: break;                                                       // the tie
    case 1: mantissa.resize(mantissa.size() - 1 - random() % 3); break;  // below it
    case 2:                                                              // above it
      mantissa += string(random() % 900, '0') + static_cast<char>('1' + random() % 9);
  }
  if (mantissa.back() == '.') mantissa.pop_back();
  return (random() % 2 ? "-" : "") + mantissa + exponent;
}

Expected expected_double(const string &text, double *value) {
  string c_text = text;
  for (char &ch : c_text) ch = ch == 'd' ? 'e' : ch == 'D' ? 'E' : ch;
  char *end = nullptr;
  *value = std::strtod(c_text.c_str(), &end);
  size_t read = static_cast<size_t>(end - c_text.c_str());
  if (read == 0) {
    size_t at = after_space_and_sign(text);
    return {0, at < text.size() && text[at] == '.' ? at + 1 : at};
  }
  bool exponent_read = c_text.find_first_of("eE") < read;
  if (!exponent_read && read < text.size() && (c_text[read] == 'e' || c_text[read] == 'E')) {
    ++read;
    if (read < text.size() && (text[read] == '+' || text[read] == '-')) ++read;
  }
  return {0, read};
}

TEST_F(GlibcParse, DoublesAsStrtod) {
  for (size_t i = 0; i < sweep(200000, 4000000); ++i) {
    string text = i % 5 == 0 ? near_halfway_text(random_) : random_double_text(random_);
    double want;
    Expected read_to = expected_double(text, &want);
    int32_t length = i % 2 ? static_cast<int32_t>(text.size()) : -1;
    for (Form form : {B, UF, WF}) {
      if (form != B && i % 8 != 0) continue;
      Read got = read(l_, form, widen(text), length, kDouble);
      ASSERT_TRUE(same(got.value, want)) << kFormNames[form] << " \"" << text << "\": " << got.value << " for " << want;
      ASSERT_EQ(static_cast<size_t>(got.end), read_to.end) << '"' << text << '"';
    }
  }
}

}  // namespace
