// Properties of the navigation functions over every shipped code set, on random valid
// and invalid strings: counting agrees with stepping, stepping back inverts stepping
// forward, and the single-byte shortcuts agree with the general walk.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "charset/from_unicode.h"
#include "charset/navigation/char_count.h"
#include "charset/navigation/truncation.h"
#include "navigation/handles.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using navtest::Handle;

constexpr int kStringsPerSet = 400;
constexpr size_t kMaxUnits = 24;

struct Figures {
  long strings = 0, characters = 0, checks = 0;
};

class Strings {
 public:
  Strings(PLLocale *locale, uint32_t seed) : locale_(locale), random_(seed) {
    const pl::ControlEntry &entry = *locale->codeset;
    pl::CharsetView set(entry);
    stateful_ = set.stateful();
    shift_out_ = static_cast<char>(set.shift_out_byte());
    shift_in_ = static_cast<char>(set.shift_in_byte());
    for (int b = 1; b < 256; ++b) {
      if (set.byte_length(static_cast<uint8_t>(b)) > 1) leads_.push_back(static_cast<char>(b));
    }
  }

  // Characters of the set written from random units, with shift bytes where the set
  // needs them (and now and then a longer run), never a NUL inside.
  std::string valid() {
    const pl::ControlEntry &entry = *locale_->codeset;
    std::string out;
    bool shifted = false;
    size_t units = random_() % kMaxUnits;
    for (size_t i = 0; i < units; ++i) {
      uint32_t unit = random_() % 3 == 0 ? 0x20 + random_() % 0x60 : 1 + random_() % 0xFFFE;
      if (unit >= 0xD800 && unit <= 0xDFFF) continue;
      uint8_t bytes[4];
      size_t count = pl::to_bytes(entry, unit, bytes);
      if (std::memchr(bytes, 0, count) != nullptr) continue;
      if (stateful_) {
        if (count == 1 && (bytes[0] == static_cast<uint8_t>(shift_out_) ||
                           bytes[0] == static_cast<uint8_t>(shift_in_)))
          continue;
        // Now and then a longer run, which ends single-byte and, read backwards,
        // still tells the state of the text in front of it by its first byte.
        if (random_() % 8 == 0) {
          out += shifted ? std::string() + shift_in_ + shift_out_ + shift_in_
                         : std::string() + shift_out_ + shift_in_;
          shifted = false;
        }
        bool wide = count > 1;
        if (wide != shifted) out += wide ? shift_out_ : shift_in_;
        shifted = wide;
      }
      out.append(reinterpret_cast<const char *>(bytes), count);
    }
    if (shifted) out += shift_in_;
    return out;
  }

  // Random bytes without a NUL, rich in lead and shift bytes.
  std::string invalid() {
    std::string out;
    size_t length = random_() % (2 * kMaxUnits);
    for (size_t i = 0; i < length; ++i) {
      unsigned pick = random_() % 8;
      if (stateful_ && pick == 0)
        out += random_() % 2 ? shift_out_ : shift_in_;
      else if (!leads_.empty() && pick < 3)
        out += leads_[random_() % leads_.size()];
      else
        out += static_cast<char>(1 + random_() % 255);
    }
    return out;
  }

 private:
  PLLocale *locale_;
  std::mt19937 random_;
  bool stateful_ = false;
  char shift_out_ = 0, shift_in_ = 0;
  std::vector<char> leads_;
};

// The text in a block of exactly its size with the NUL, so that the sanitizer build
// catches any read past the NUL.
class Exact {
 public:
  explicit Exact(const std::string &text) : bytes_(new char[text.size() + 1]) {
    std::memcpy(bytes_.get(), text.c_str(), text.size() + 1);
  }
  char *data() { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};

// The character boundaries found by stepping with PLNextChar; a step whose character
// is cut by the NUL ends the walk.
std::vector<size_t> next_char_boundaries(PLLocale *h, const std::string &text) {
  Exact exact(text);
  const char *s = exact.data();
  std::vector<size_t> boundaries = {0};
  const char *p = s;
  while (static_cast<size_t>(p - s) < text.size()) {
    const char *q = PLNextChar(h, p);
    if (q <= p || q - p != PLByteLength(h, p)) break;
    boundaries.push_back(static_cast<size_t>(q - s));
    p = q;
  }
  return boundaries;
}

void check_base_forms(PLLocale *h, const std::string &text, Figures &figures) {
  SCOPED_TRACE(testing::PrintToString(text));
  Exact exact(text);
  const char *s = exact.data();
  std::vector<size_t> b = next_char_boundaries(h, text);
  size_t count = b.size() - 1;
  figures.characters += static_cast<long>(count);
  EXPECT_EQ(PLNumChars(h, s, -1), static_cast<int32_t>(count));
  for (size_t k = 0, passed = 0; k <= text.size(); ++k) {
    while (passed < count && b[passed + 1] <= k) ++passed;
    EXPECT_EQ(PLNumChars(h, s, static_cast<int32_t>(k)), static_cast<int32_t>(passed)) << k;
    EXPECT_EQ(PLMoveStringPointer(h, s, static_cast<int32_t>(k), 0), s + b[passed]) << k;
    figures.checks += 2;
  }
  for (size_t i = 1; i < b.size(); ++i) {
    EXPECT_EQ(PLPrevChar(h, s, s + b[i]), s + b[i - 1]) << i;
    EXPECT_EQ(PLMoveStringPointer(h, s, static_cast<int32_t>(i), PL_COUNT_CHARS), s + b[i]);
    figures.checks += 2;
  }
  // Truncation cuts at a boundary and keeps what fits.
  for (int32_t size = 0; size <= static_cast<int32_t>(text.size()) + 1; ++size) {
    Exact cut(text);
    int32_t used = PLTruncateString(h, cut.data(), size, 0);
    size_t kept = std::strlen(cut.data());
    EXPECT_EQ(used, static_cast<int32_t>(kept + 1));
    EXPECT_LE(kept + 1, static_cast<size_t>(size > 0 ? size : 1));
    EXPECT_EQ(text.compare(0, kept, cut.data(), kept), 0);
    if (static_cast<size_t>(size) > text.size()) {
      EXPECT_EQ(kept, text.size());
    }
    figures.checks += 3;
  }
  // Counting characters, the NUL one of them, keeps the first size - 1.
  for (int32_t size = -1; size <= static_cast<int32_t>(count) + 2; ++size) {
    Exact cut(text);
    int32_t chars = PLTruncateString(h, cut.data(), size, PL_COUNT_CHARS);
    size_t kept = std::strlen(cut.data());
    if (size > static_cast<int32_t>(count)) {
      // Everything fits, but for a character cut short by the NUL, which may go.
      EXPECT_TRUE(kept == text.size() || kept == b[count]) << size;
      EXPECT_EQ(chars, static_cast<int32_t>(count + 1)) << size;
    } else {
      int32_t wanted = size > 0 ? size : 1;
      EXPECT_EQ(chars, wanted) << size;
      EXPECT_EQ(kept, b[static_cast<size_t>(wanted - 1)]) << size;
    }
    figures.checks += 2;
  }
}

// The general walk, with the shortcuts of a single-byte set switched off.
void check_shortcuts(PLLocale *h, const std::string &text, Figures &figures) {
  SCOPED_TRACE(testing::PrintToString(text));
  pl::TextRules fast = pl::text_rules(*h, false);
  pl::TextRules plain = fast;
  plain.single_byte = false;
  ASSERT_TRUE(fast.shortcut());
  Exact exact(text);
  const char *s = exact.data();
  int32_t n = static_cast<int32_t>(text.size());
  EXPECT_EQ(pl::num_chars(fast, s, 0, -1), pl::num_chars(plain, s, 0, -1));
  for (int32_t k = -1; k <= n; ++k) {
    EXPECT_EQ(pl::num_chars(fast, s, 0, k), pl::num_chars(plain, s, 0, k));
    EXPECT_EQ(pl::move_pointer(fast, s, 0, k, false).at, pl::move_pointer(plain, s, 0, k, false).at);
    EXPECT_EQ(pl::move_pointer(fast, s, 0, k, true).at, pl::move_pointer(plain, s, 0, k, true).at);
    if (k >= 0) {
      EXPECT_EQ(pl::prev_char(fast, s, s + k, 0).at, pl::prev_char(plain, s, s + k, 0).at);
    }
    for (bool chars : {false, true}) {
      Exact a(text), b(text);
      EXPECT_EQ(pl::truncate_string(fast, a.data(), 0, k + 1, chars),
                pl::truncate_string(plain, b.data(), 0, k + 1, chars));
      EXPECT_STREQ(a.data(), b.data());
    }
    figures.checks += 8;
  }
}

// Without shift states the Ex forms are the base forms and report no state.
void check_ex_equals_base(PLLocale *h, const std::string &text, Figures &figures) {
  Exact exact(text);
  const char *s = exact.data();
  PLState state = 77;
  EXPECT_EQ(PLNumCharsEx(h, s, 1, -1), PLNumChars(h, s, -1));
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(PLNextCharEx(h, s + i, 1, &state), PLNextChar(h, s + i));
    EXPECT_EQ(PLGetCharEx(h, s + i, 1), PLGetChar(h, s + i));
    EXPECT_EQ(PLPrevCharEx(h, s, s + i, 1, &state), PLPrevChar(h, s, s + i));
    figures.checks += 3;
  }
  EXPECT_EQ(state, 77u);
}

struct ExStep {
  size_t at;       // boundary behind a character and the shift run after it
  PLState state;   // the state there
  bool whole;      // the character before it lies inside the string
};

// Steps with PLNextCharEx; whether a step's character is whole is read off the rule
// (skip the shift bytes, then 1 byte or the maximum length).
std::vector<ExStep> next_char_ex_steps(PLLocale *h, const std::string &text, PLState state,
                                       size_t *leading) {
  pl::CharsetView set(*h->codeset);
  auto is_shift = [&](char c) {
    return static_cast<uint8_t>(c) == set.shift_out_byte() || static_cast<uint8_t>(c) == set.shift_in_byte();
  };
  Exact exact(text);
  const char *s = exact.data();
  std::vector<ExStep> steps;
  size_t p = 0;
  *leading = 0;
  while (p < text.size()) {
    size_t c = p;
    PLState at = state;
    for (; c < text.size() && is_shift(text[c]); ++c)
      at = static_cast<uint8_t>(text[c]) == set.shift_out_byte() ? 1 : 0;
    if (p == 0) *leading = c;
    if (c == text.size()) break;  // only shift bytes are left
    size_t end = c + (at ? set.max_length() : 1);
    PLState next_state = 99;
    const char *q = PLNextCharEx(h, s + p, state, &next_state);
    steps.push_back({static_cast<size_t>(q - s), next_state, end <= text.size()});
    if (end > text.size()) break;
    EXPECT_GE(static_cast<size_t>(q - s), end);
    p = static_cast<size_t>(q - s);
    state = next_state;
  }
  return steps;
}

void check_ex_forms(PLLocale *h, const std::string &text, PLState start_state, bool valid,
                    Figures &figures) {
  SCOPED_TRACE(testing::PrintToString(text));
  Exact exact(text);
  const char *s = exact.data();
  size_t leading = 0;
  std::vector<ExStep> steps = next_char_ex_steps(h, text, start_state, &leading);
  size_t whole = 0;
  while (whole < steps.size() && steps[whole].whole) ++whole;
  figures.characters += static_cast<long>(whole);
  EXPECT_EQ(PLNumCharsEx(h, s, start_state, -1), static_cast<int32_t>(whole));
  for (size_t i = 0; i < whole; ++i) {
    // Counting up to a boundary counts the characters before it.
    EXPECT_EQ(PLNumCharsEx(h, s, start_state, static_cast<int32_t>(steps[i].at)),
              static_cast<int32_t>(i + 1));
    PLState state = 99;
    const char *moved = PLMoveStringPointerEx(h, s, start_state, static_cast<int32_t>(steps[i].at),
                                              &state, 0);
    EXPECT_EQ(moved, s + steps[i].at) << i;
    EXPECT_EQ(state, steps[i].state) << i;
    moved = PLMoveStringPointerEx(h, s, start_state, static_cast<int32_t>(i + 1), &state, PL_COUNT_CHARS);
    EXPECT_EQ(PLNumCharsEx(h, s, start_state, static_cast<int32_t>(moved - s)),
              static_cast<int32_t>(i + 1));
    EXPECT_LE(moved, s + steps[i].at);
    figures.checks += 5;
    if (!valid) continue;
    // On well-formed text stepping back inverts stepping forward.
    size_t before = i == 0 ? leading : steps[i - 1].at;
    PLState before_state = 99;
    EXPECT_EQ(PLPrevCharEx(h, s, s + steps[i].at, steps[i].state, &before_state), s + before) << i;
    if (i > 0) {
      EXPECT_EQ(before_state, steps[i - 1].state) << i;
    }
    figures.checks += 2;
  }
  if (!valid) return;
  pl::CharsetView set(*h->codeset);
  // Truncation keeps the NUL inside the size and leaves the text single-byte.
  for (int32_t size = 0; size <= static_cast<int32_t>(text.size()) + 1; ++size) {
    Exact cut(text);
    int32_t used = PLTruncateStringEx(h, cut.data(), start_state, size, 0);
    size_t kept = std::strlen(cut.data());
    EXPECT_EQ(used, static_cast<int32_t>(kept + 1));
    EXPECT_LE(kept + 1, static_cast<size_t>(size > 0 ? size : 1));
    PLState end_state = 99;
    PLMoveStringPointerEx(h, cut.data(), start_state, static_cast<int32_t>(kept), &end_state, 0);
    if (size >= 2) {
      EXPECT_EQ(end_state, 0u) << size;
    }
    // The text kept is the string's beginning, closed perhaps by a new shift-in byte.
    bool prefix = text.compare(0, kept, cut.data(), kept) == 0;
    bool closed = kept > 0 && static_cast<uint8_t>(cut.data()[kept - 1]) == set.shift_in_byte() &&
                  text.compare(0, kept - 1, cut.data(), kept - 1) == 0;
    EXPECT_TRUE(prefix || closed) << size;
    figures.checks += 4;
  }
}

TEST(NavigationProperties, EveryShippedCodeSet) {
  pltest::Session session(pltest::built_locale_dir());
  std::vector<std::string> names = navtest::codeset_names(session.env());
  ASSERT_EQ(names.size(), 40u);
  Figures figures;
  int single_byte_sets = 0, stateful_sets = 0;
  uint32_t seed = 20240611;
  for (const std::string &name : names) {
    SCOPED_TRACE(name);
    Handle handle("English." + name);
    PLLocale *h = handle.locale;
    ASSERT_NE(h, nullptr);
    bool single_byte = (h->flags & pl::kHandleSingleByte) != 0;
    bool stateful = (h->flags & pl::kHandleStateful) != 0;
    single_byte_sets += single_byte;
    stateful_sets += stateful;
    Strings strings(h, seed++);
    for (int i = 0; i < kStringsPerSet; ++i) {
      bool valid = i % 2 == 0;
      std::string text = valid ? strings.valid() : strings.invalid();
      ++figures.strings;
      check_base_forms(h, text, figures);
      if (single_byte) check_shortcuts(h, text, figures);
      if (stateful) {
        check_ex_forms(h, text, 0, valid, figures);
        if (!valid) check_ex_forms(h, text, 1, false, figures);
      } else {
        check_ex_equals_base(h, text, figures);
      }
      if (testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(single_byte_sets, 20);
  EXPECT_EQ(stateful_sets, 2);
  std::printf("navigation properties: %d code sets (%d single-byte, %d stateful), %ld strings, "
              "%ld characters, %ld checks\n",
              static_cast<int>(names.size()), single_byte_sets, stateful_sets, figures.strings,
              figures.characters, figures.checks);
}

}  // namespace
