// The string family on random text of every code set against naive models, fast vs reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "charset/from_unicode.h"
#include "charset/length_rule.h"
#include "charset/unicode_value.h"
#include "conversion_api/codesets.h"
#include "frame/handle.h"
#include "string/ops/string_ops.h"
#include "string/ops/string_walk.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using Bytes = std::string;
using testing::PrintToString;
constexpr int kSamples = 200;
constexpr size_t kAny = SIZE_MAX;
constexpr PLState kNoState = 99;

struct Char { size_t at, end; PLState mode; };  // bytes, behind the shift run, and mode

// A code set with a small repertoire, whose single bytes also occur in its multibyte ones.
class Model {
 public:
  Model(const pltest::Codeset &set, uint32_t seed)
      : h(set.locale), view(*set.locale->codeset), stateful(set.stateful), random(seed) {
    size_t singles = view.max_length() > 1 ? 4 : 8;  // the rest for bytes of multibyte ones
    for (int i = 0; i < 400 && (multis_.size() < 8 || singles_.size() < singles); ++i) {
      uint32_t code = i % 4 == 0 ? 0x21 + random() % 0xDF
                                 : 0x100 + random() % (i % 4 == 3 ? 0x10FF00 : 0xFF00);
      uint8_t b[4];
      if (code < 0xD800 || code > 0xDFFF)
        add(Bytes(b, b + pl::to_bytes(*h->codeset, pl::unicode_value_of(code), b)), singles);
    }
    PLUChar u[2];
    for (const Bytes &m : multis_)
      for (char c : m)
        if (PLStringToUnicode(u, 2, h, &c, 1, 0) == 1 && u[0] != 0xFFFD) add(Bytes(1, c), 8);
  }
  void use(bool ex_form) { shift = (ex = ex_form) && stateful; }
  PLState state() { return ex ? random() % 2 : 0; }
  char shift_byte(PLState to) const { return to ? view.shift_out_byte() : view.shift_in_byte(); }
  bool is_shift(char c) const { return c == shift_byte(0) || c == shift_byte(1); }
  uint32_t below(size_t n) { return n == 0 ? 0 : random() % n; }
  const Bytes &pick() {
    bool multi = singles_.empty() || (!multis_.empty() && random() % 2);
    return multi ? multis_[below(multis_.size())] : singles_[below(singles_.size())];
  }
  // Characters behind the shift runs they need (or more), or ending with a lone lead byte.
  Bytes text(PLState mode) {
    Bytes out;
    for (size_t i = below(12); i > 0; --i) {
      const Bytes &c = pick();
      PLState wanted = c.size() > 1;
      if (stateful && (wanted != mode || random() % 6 == 0)) {
        for (int k = below(3); k > 0; --k) out += shift_byte(random() % 2);
        out += shift_byte(mode = wanted);
      }
      out += c;
    }
    if (stateful && mode == 1 && random() % 4 != 0) out += shift_byte(0);
    if (!stateful && !multis_.empty() && random() % 8 == 0) out += pick()[0];
    return out;
  }
  // The characters of t[0, extent); one across the extent ends them (`cut`: clipped, last).
  std::vector<Char> chars(const Bytes &t, size_t extent, PLState state, bool cut = false,
                          PLState *end_state = nullptr) const {
    std::vector<Char> out;
    state = shift ? state : 0;
    for (size_t p = 0; p < extent;) {
      while (shift && p < extent && is_shift(t[p])) state = t[p++] == shift_byte(1);
      if (p == extent) break;
      size_t length = shift ? (state ? view.max_length() : 1) : rule_length(&t[p], extent - p);
      if (p + length > extent && cut) out.push_back({p, extent, state});
      if (p + length > extent) break;
      out.push_back({p, p + length, state});
      p += length;
    }
    if (end_state != nullptr) *end_state = state;
    return out;
  }
  // The bytes of a length: negative to the NUL (`with_nul`: and it), counts not past it.
  size_t extent(const Bytes &t, int32_t len, bool count, bool with_nul, PLState state) const {
    if (len < 0 || !count) return len < 0 ? t.size() + with_nul : size_t(len);
    std::vector<Char> c = chars(t, t.size(), state);
    return len == 0 || c.empty() ? 0 : c[std::min<size_t>(len, c.size()) - 1].end;
  }
  // A length: -1, 0, or up to one more byte or character than there are.
  int32_t length(const Bytes &t, bool count, PLState state) {
    uint32_t kind = random() % 4;
    size_t n = count ? chars(t, t.size(), state).size() : t.size();
    return kind < 2 ? -int32_t(kind == 0) : int32_t(1 + below(n + 1));
  }
  // A copy of `chars` of `t` (NUL too) into text in `mode`: one shift byte if modes differ.
  Bytes copy(Bytes t, const std::vector<Char> &chars, PLState mode, size_t byte_room,
             size_t char_room, size_t *copied) const {
    Bytes out;
    t += '\0';
    for (*copied = 0; *copied < std::min(chars.size(), char_room); ++*copied) {
      size_t k = *copied, from = k > 0 ? chars[k - 1].end : chars[0].at;
      Bytes next = Bytes(k == 0 && chars[0].mode != mode, shift_byte(chars[0].mode)) +
                   t.substr(from, chars[k].end - from);
      if (out.size() + next.size() > byte_room) break;
      out += next;
    }
    return out;
  }
  // Whole characters of `t`, perhaps with shift bytes around them, or other text.
  Bytes piece(const Bytes &t, PLState state, PLState *piece_state) {
    std::vector<Char> c = chars(t, t.size(), state);
    *piece_state = random() % 2;
    if (c.empty() || random() % 3 == 0) return text(*piece_state);
    size_t i = below(c.size()), j = i + below(std::min<size_t>(3, c.size() - i));
    Bytes out = t.substr(c[i].at, c[j].end - c[i].at) + Bytes(shift && random() % 2, shift_byte(0));
    if (shift && random() % 2) return shift_byte(c[i].mode) + out;
    *piece_state = c[i].mode;
    return out;
  }
  PLLocale *h;
  pl::CharsetView view;
  bool stateful, ex = false, shift = false;
  std::mt19937 random;

 private:
  size_t rule_length(const char *s, size_t available) const {
    return pl::char_length(view, reinterpret_cast<const uint8_t *>(s), available).rule;
  }
  void add(const Bytes &c, size_t singles) {
    bool whole = stateful ? (c.size() == 1 && !is_shift(c[0])) || c.size() == view.max_length()
                          : rule_length(c.data(), c.size()) == c.size();
    std::vector<Bytes> &pool = c.size() == 1 ? singles_ : multis_;
    if (whole && c.find('\0') == Bytes::npos && pool.size() < (c.size() == 1 ? singles : 8) &&
        std::find(pool.begin(), pool.end(), c) == pool.end())
      pool.push_back(c);
  }
  std::vector<Bytes> singles_, multis_;
};

int offset(const char *base, const char *at) { return at == nullptr ? -1 : int(at - base); }

void check_copy(Model &m) {
  PLState src_state = m.state(), dst_state = m.state();
  Bytes src = m.text(src_state);
  bool count = m.random() % 2;
  int32_t size = int32_t(m.below(src.size() + 4)) - 1;
  int32_t len = m.length(src, count, src_state), flags = count ? PL_COUNT_CHARS : 0;
  auto why = [&] { return PrintToString(std::tuple(src, size, len, flags)); };
  size_t extent = len < 0 ? src.size() + 1 : count ? src.size() : size_t(len);
  size_t room = size < 1 || len == 0 ? 0 : size, copied;
  Bytes expected = m.copy(src, m.chars(src, extent, src_state), m.shift && dst_state,
                          count ? kAny : room, count ? std::min<size_t>(room, len) : kAny, &copied);
  Bytes buffer((count ? expected.size() : room) + 8, '\xA5');
  char *b = buffer.data();
  EXPECT_EQ(m.ex ? PLStrcpyEx(m.h, b, dst_state, size, src.c_str(), src_state, len, flags)
                 : PLStrcpy(m.h, b, size, src.c_str(), len, flags),
            int32_t(count ? copied : expected.size())) << why();
  EXPECT_EQ(buffer, expected + Bytes(buffer.size() - expected.size(), '\xA5')) << why();
}

void check_append(Model &m) {
  PLState dst_state = m.state(), src_state = m.state(), mode;
  Bytes dst = m.text(dst_state), src = m.text(src_state), result = dst;
  bool count = m.random() % 2, terminate = m.random() % 2;
  int32_t n = m.length(src, count, src_state);
  int32_t flags = (count ? PL_COUNT_CHARS : 0) | (terminate ? PL_TERMINATE : 0);
  auto why = [&] { return PrintToString(std::tuple(dst, src, n, flags)); };
  size_t dst_chars = m.chars(dst, dst.size(), dst_state, false, &mode).size();
  int32_t expected = int32_t((count ? dst_chars : dst.size()) + 1);
  if (n != 0) {
    std::vector<Char> chars = m.chars(src, m.extent(src, n, count, false, src_state), src_state);
    bool reopen = m.shift && !dst.empty() && dst.back() == m.shift_byte(0);  // a final shift-in
    size_t copied;
    Bytes added = m.copy(src, chars, reopen || mode, kAny, kAny, &copied);
    if (copied != 0) result = dst.substr(0, dst.size() - reopen) + added;
    if (copied != 0) mode = chars[copied - 1].mode;
    if (terminate || n < 0) result += Bytes(m.shift && mode, m.shift_byte(0)) + '\0';
    expected = int32_t(count ? m.chars(result, result.size(), dst_state).size() : result.size());
  }
  Bytes buffer = dst + '\0' + Bytes(src.size() + 12, '\xA5'), wanted = buffer;
  wanted.replace(0, result.size(), result);
  EXPECT_EQ(m.ex ? PLStrcatEx(m.h, buffer.data(), dst_state, src.c_str(), src_state, n, flags)
                 : PLStrcat(m.h, buffer.data(), src.c_str(), n, flags), expected) << why();
  EXPECT_EQ(buffer, wanted) << why();
}

void check_searches(Model &m) {
  PLState state = m.state(), sub_state, match = kNoState, naive_state = kNoState;
  Bytes str = m.text(state), sub = m.piece(str, state, &sub_state);
  bool count = m.random() % 2, last = m.random() % 2;
  int32_t len = m.length(str, count, state), sub_len = m.length(sub, count, sub_state);
  int32_t flags = (count ? PL_COUNT_CHARS : 0) | (last ? PL_LAST : 0);
  const Bytes zstr = str + '\0', chr = m.random() % 8 == 0 ? "" : sub, zchr = chr + '\0';
  auto why = [&] { return PrintToString(std::tuple(str, len, chr, sub, sub_len, flags)); };
  const char *s = str.c_str();
  // The first character of the piece, or the NUL; never one cut by the NUL.
  std::vector<Char> sought = m.chars(zchr, zchr.size(), sub_state);
  if (!sought.empty() && sought[0].at != chr.size() && sought[0].end > chr.size()) sought.clear();
  int naive = -1;
  for (const Char &c : m.chars(str, m.extent(str, len, count, true, state), state))
    if (!sought.empty() && (naive < 0 || last) &&
        zchr.compare(sought[0].at, sought[0].end - sought[0].at, zstr, c.at, c.end - c.at) == 0)
      naive = int(c.at), naive_state = m.shift ? c.mode : kNoState;
  EXPECT_EQ(offset(s, m.ex ? PLStrchrEx(m.h, s, state, len, chr.c_str(), sub_state, &match, flags)
                           : PLStrchr(m.h, s, len, chr.c_str(), flags)), naive) << why();
  EXPECT_EQ(match, naive_state) << why();
  // The substring: its whole characters, found where a character starts in its mode.
  size_t extent = m.extent(str, len, count, false, state);
  auto parts = m.chars(sub, m.extent(sub, sub_len, count, false, sub_state), sub_state);
  size_t from = parts.empty() ? 0 : parts[0].at, to = parts.empty() ? 0 : parts.back().end;
  Bytes wanted = (sub + '\0').substr(from, to - from);
  naive = parts.empty() ? 0 : -1;
  match = naive_state = kNoState;
  for (const Char &c : m.chars(str, extent, state))
    if (naive < 0 && c.at + wanted.size() <= extent && (!m.shift || c.mode == parts[0].mode) &&
        zstr.compare(c.at, wanted.size(), wanted) == 0)
      naive = int(c.at), naive_state = m.shift ? c.mode : kNoState;
  PLState *reported = parts.empty() ? nullptr : &match;  // an empty one has no mode
  EXPECT_EQ(offset(s, m.ex ? PLStrstrEx(m.h, s, state, len, sub.c_str(), sub_state, sub_len,
                                        reported, flags)
                           : PLStrstr(m.h, s, len, sub.c_str(), sub_len, flags)), naive) << why();
  EXPECT_EQ(match, naive_state) << why();
}

// The tokens, lengths left and delimiters overwritten, as a naive tokenizer finds them.
void check_tokens(Model &m) {
  Bytes str = m.text(0), delims;
  PLState ignored;
  for (size_t i = 1 + m.below(3); i > 0; --i)
    delims += m.random() % 2 ? m.pick() : m.piece(str, 0, &ignored);
  bool count = m.random() % 2;
  int32_t len = std::min(m.length(str, count, 0), int32_t(str.size()));
  auto why = [&] { return PrintToString(std::tuple(str, len, delims, count)); };
  size_t extent = m.extent(str, len, count, false, 0), limit = extent;
  std::vector<Char> c = m.chars(str, extent, 0, true);
  std::vector<Char> set = m.chars(delims, delims.size(), 0, true);
  auto is_delim = [&](size_t i) {
    return i < c.size() && std::any_of(set.begin(), set.end(), [&](const Char &d) {
             return delims.compare(d.at, d.end - d.at, str, c[i].at, c[i].end - c[i].at) == 0;
           });
  };
  auto start = [&](size_t i) { return i < c.size() ? c[i].at : limit; };
  std::vector<std::pair<Bytes, int32_t>> naive, got;
  Bytes cut = str;
  for (size_t i = 0, n; i <= c.size(); i = n + 1) {
    if (is_delim(i)) {  // a token is looked for behind the delimiters
      while (is_delim(i)) ++i;
      if (i == c.size()) break;
    }
    for (n = i; n < c.size() && !is_delim(n);) ++n;
    naive.push_back({str.substr(start(i), start(n) - start(i)), 0});
    if (n == c.size()) break;
    cut.replace(c[n].at, c[n].end - c[n].at, c[n].end - c[n].at, '\0');
    size_t left = limit - c[n].end;
    naive.back().second = int32_t(count ? m.chars(str.substr(c[n].end), left, 0).size() : left);
    if (left == 0) break;
    if (count) c = m.chars(str, limit, 0);  // a count of characters leaves a cut one out
    limit = c.back().end;
  }
  Bytes buffer = str;
  char *s = buffer.data(), *next = nullptr, *token;
  for (char *end = s + extent;
       (token = PLStrtok(m.h, s, &len, delims.c_str(), -1, &next, count ? PL_COUNT_CHARS : 0));
       s = next, end = s + m.extent(s, len, count, false, 0)) {
    got.push_back({Bytes(token, std::find(token, end, '\0')), len});
    if (next == nullptr || got.size() > str.size()) break;
  }
  EXPECT_EQ(got, naive) << why();
  EXPECT_EQ(buffer, cut) << why();
}

// The fast paths (element loops, candidate bytes, cuts found from the end) vs the walk.
void check_paths(Model &m) {
  pl::TextRules rules = pl::text_rules(*m.h, false);
  PLState ignored;
  Bytes str = m.text(0);
  if (m.random() % 2)  // long text, where the searches go by candidate bytes
    while (str.size() < 300) str += m.text(0);
  Bytes other = m.random() % 2 ? m.text(0) : m.piece(str, 0, &ignored);
  bool count = m.random() % 2, last = m.random() % 2;
  int32_t len = m.length(str, count, 0), len2 = m.length(other, count, 0);
  int32_t size = int32_t(m.below(str.size() + 3)) - 1;
  auto why = [&] { return PrintToString(std::tuple(str, len, other, len2, size, count, last)); };
  const char *s = str.c_str(), *o = other.c_str();
  auto results = [&](pl::Path p) {  // every result and output of one path
    Bytes copy(str.size() + 8, '#'), append = other + Bytes(str.size() + 8, '\0');
    std::ostringstream out;
    out << pl::string_copy(rules, p, copy.data(), 0, size, s, 0, len, count) << copy << '|'
        << pl::string_append(rules, p, append.data(), 0, s, 0, len, count, last) << append << '|'
        << offset(s, pl::string_find_char(rules, p, s, 0, len, o, 0, count, last).at) << '|'
        << offset(s, pl::string_find(rules, p, s, 0, len, o, 0, len2, count).at) << '|'
        << pl::string_span(rules, p, s, 0, len, o, 0, len2, count, true) << '|'
        << pl::string_span(rules, p, s, 0, len, o, 0, len2, count, false);
    return out.str();
  };
  EXPECT_EQ(results(pl::Path::fast), results(pl::Path::reference)) << why();
  Bytes text;
  while (text.size() < 600) text += m.text(0);
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>(text.data());
  for (size_t n = text.size(); n + 4 > text.size(); --n)  // cuts of long text
    EXPECT_EQ(pl::Stepper(rules).whole_bytes(bytes, n, 0),
              pl::walk(rules, bytes, n, n, pl::kNoCharLimit, 0).bytes)
        << PrintToString(text.substr(0, n));
}

TEST(StringProperties, EveryShippedCodeSet) {
  pltest::Session session(pltest::built_locale_dir());
  pltest::Codesets sets(session);
  ASSERT_EQ(sets.all().size(), 40u);
  uint32_t seed = 20240917;
  for (const pltest::Codeset &set : sets.all()) {
    SCOPED_TRACE(set.name);
    Model m(set, seed++);
    for (int i = 0; i < kSamples && !testing::Test::HasFailure(); ++i) {
      for (bool ex : {false, true})
        for (auto check : {check_copy, check_append, check_searches}) m.use(ex), check(m);
      for (auto check : {check_tokens, check_paths}) m.use(false), check(m);
    }
  }
}

}  // namespace
