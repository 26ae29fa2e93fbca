// Finding and writing ends of line in every form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;

enum Form { kBase, kEx, kUnicode, kPacked };

struct Search {
  int32_t offset;  // -1: none
  int32_t kind, length;
  PLState state = 9;  // the Ex form's state at the end of line; 9: not checked
};

class EndOfLine : public ::testing::Test {
 protected:
  ~EndOfLine() override {
    for (PLLocale *h : opened_) PLReleaseLocale(h);
  }
  PLLocale *open(const char *name) {
    opened_.push_back(PLGetLocale(name, 0, nullptr));
    EXPECT_NE(opened_.back(), nullptr) << name;
    return opened_.back();
  }

  pltest::Session session_{pltest::built_locale_dir()};
  std::vector<PLLocale *> opened_;
};

// Runs the form's search over `text` (bytes; one unit per byte for the U and W forms).
Search search(PLLocale *h, Form form, const string &text, int32_t length, int32_t flags, PLState state) {
  Search s{-1, 0, -1};
  std::vector<PLUChar> units(text.size() + 1);  // NUL-terminated, as the -1 lengths need
  std::vector<PLWChar> packed(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) units[i] = packed[i] = static_cast<uint8_t>(text[i]);
  const void *found = nullptr, *start = text.data();
  switch (form) {
    case kBase: found = PLGetEol(h, text.data(), length, &s.kind, &s.length, flags); break;
    case kEx: found = PLGetEolEx(h, text.data(), state, length, &s.kind, &s.length, &s.state, flags); break;
    case kUnicode: found = PLGetEolU(h, units.data(), length, &s.kind, &s.length, flags), start = units.data(); break;
    case kPacked: found = PLGetEolW(h, packed.data(), length, &s.kind, &s.length, flags), start = packed.data(); break;
  }
  long unit = form == kUnicode ? 2 : form == kPacked ? 4 : 1;
  if (found) s.offset = static_cast<int32_t>((static_cast<const char *>(found) - static_cast<const char *>(start)) / unit);
  return s;
}

TEST_F(EndOfLine, SearchFindsTheFirstAcceptedKindCharacterByCharacter) {
  const char *const w1252 = "English_UnitedStates.MS1252", *const e037 = "English_UnitedStates.IBM037",
                    *const j932 = "Japanese_Japan.MS932", *const j930 = "Japanese_Japan.IBM930";
  const std::vector<Form> all = {kBase, kEx, kPacked, kUnicode};
  const struct Case {
    const char *locale;
    std::vector<Form> forms;
    string text;
    int32_t length, flags;
    Search want;
    PLState from = 0;
  } kCases[] = {
      // Flags 0 accept only the pair; a lone line feed is no end of line then.
      {w1252, all, "ab\r\ncd", -1, 0, {2, PL_EOL_CRLF, 2}},
      {w1252, all, "ab\ncd", -1, 0, {-1, PL_EOL_NONE, 0}},
      {w1252, all, "ab\ncd\r\n", -1, PL_EOL_ANY, {2, PL_EOL_LF, 1}},
      {w1252, all, "a\r\n", -1, PL_EOL_LF, {2, PL_EOL_LF, 1}},
      // A pair cut by the length is no pair; the length is honoured before the NUL.
      {w1252, all, "ab\r\n", 3, PL_EOL_CRLF, {-1, PL_EOL_NONE, 0}},
      {w1252, all, "ab\n", 2, PL_EOL_LF, {-1, PL_EOL_NONE, 0}},
      // A set without separators stands the line feed in for them.
      {w1252, {kBase, kPacked}, "ab\n", -1, PL_EOL_PARA_SEP, {2, PL_EOL_PARA_SEP, 1}},
      {w1252, all, "x", -1, 0x1000, {-1, PL_EOL_BAD_FLAGS, 0}},
      // EBCDIC: the line feed is 0x25.
      {e037, {kBase, kEx, kPacked}, "\xC1\x0D\x25", -1, 0, {1, PL_EOL_CRLF, 2}},
      {e037, {kBase, kPacked}, "\xC1\x0A\x25", -1, PL_EOL_LF, {2, PL_EOL_LF, 1}},
      // Lengths in characters: two Japanese characters are four bytes.
      {j932, {kBase}, "\x82\xA0\x82\xA0\n", 2, PL_EOL_LF | PL_COUNT_CHARS, {-1, PL_EOL_NONE, 0}},
      {j932, {kBase}, "\x82\xA0\x82\xA0\n", 3, PL_EOL_LF | PL_COUNT_CHARS, {4, PL_EOL_LF, 1}},
      // The Ex form steps over the double-byte run, which the base form reads as bytes.
      {j930, {kEx}, "\x0E\x44\x25\x0F\x25", -1, PL_EOL_LF, {4, PL_EOL_LF, 1, 0}},
      {j930, {kEx}, "\x44\x25\x0F\x25", -1, PL_EOL_LF, {3, PL_EOL_LF, 1, 0}, 1},
      {j930, {kEx}, "\x44\x25\x44\x25", -1, PL_EOL_LF, {-1, PL_EOL_NONE, 0, 1}, 1},
      {j930, {kBase}, "\x0E\x44\x25\x0F\x25", -1, PL_EOL_LF, {2, PL_EOL_LF, 1}},
  };
  for (const Case &c : kCases) {
    PLLocale *h = open(c.locale);
    for (Form form : c.forms) {
      SCOPED_TRACE(string(c.locale) + " form " + std::to_string(form) + " text " + c.text);
      Search got = search(h, form, c.text, c.length, c.flags, c.from);
      EXPECT_EQ(got.offset, c.want.offset);
      EXPECT_EQ(got.kind, c.want.kind);
      EXPECT_EQ(got.length, c.want.length);
      if (form == kEx && c.want.state != 9) {
        EXPECT_EQ(got.state, c.want.state);
      }
      EXPECT_EQ(PLGetError(h), c.want.kind == PL_EOL_BAD_FLAGS ? PL_ERR_ARGUMENT : PL_OK);
    }
  }
  // UTF-16 has separators of its own.
  const PLUChar text[] = {'a', 0x2029, 0x2028, 0};
  int32_t kind = 0, length = 0;
  EXPECT_EQ(PLGetEolU(open("German_Germany.UTF-8"), text, -1, &kind, &length, PL_EOL_LINE_SEP), text + 2);
  EXPECT_EQ(kind, PL_EOL_LINE_SEP);
}

TEST_F(EndOfLine, WritersPutTheKindsInTheirOrder) {
  PLLocale *ms1252 = open("English_UnitedStates.MS1252"), *ibm930 = open("Japanese_Japan.IBM930");
  char bytes[8];
  EXPECT_EQ(string(bytes, PLPutEol(ms1252, bytes, 0)), "\r\n");
  EXPECT_EQ(string(bytes, PLPutEol(ms1252, bytes, PL_EOL_ANY)), "\n\n\n\r\n");
  EXPECT_EQ(string(bytes, PLPutEol(ibm930, bytes, PL_EOL_LF | PL_EOL_DEFAULT)), "\x25\x0D\x25");
  PLState state = 1;
  EXPECT_EQ(string(bytes, PLPutEolEx(ibm930, bytes, 1, &state, PL_EOL_LF)), "\x0F\x25");
  EXPECT_EQ(state, 0u);
  PLUChar units[8];
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(units), static_cast<size_t>(PLPutEolU(ms1252, units, PL_EOL_ANY) - units)),
            u"\n\u2028\u2029\r\n");
  PLWChar packed[8];
  EXPECT_EQ(PLPutEolW(ibm930, packed, PL_EOL_PARA_SEP) - packed, 1);
  EXPECT_EQ(packed[0], 0x25u);
  EXPECT_EQ(PLPutEol(ms1252, bytes, PL_COUNT_CHARS), nullptr);
  EXPECT_EQ(PLGetError(ms1252), PL_ERR_ARGUMENT);
}

// Whatever a writer puts down for one kind, the search for that kind finds whole at
// the start, in every form and family of code sets.
TEST_F(EndOfLine, WhatIsWrittenIsFoundAgain) {
  for (const char *name : {"English_UnitedStates.MS1252", "English_UnitedStates.IBM037", "Japanese_Japan.IBM930",
                           "German_Germany.UTF-8"}) {
    PLLocale *h = open(name);
    for (int32_t kind : {PL_EOL_LF, PL_EOL_CRLF, PL_EOL_LINE_SEP, PL_EOL_PARA_SEP}) {
      SCOPED_TRACE(string(name) + " kind " + std::to_string(kind));
      auto round_trip = [&](auto *buffer, auto put, auto get) {
        int32_t n = static_cast<int32_t>(put(h, buffer, kind) - buffer), k = 0, length = 0;
        EXPECT_EQ(get(h, buffer, n, &k, &length, kind), buffer);
        EXPECT_EQ(length, n);
      };
      char bytes[8];
      PLUChar units[8];
      PLWChar packed[8];
      round_trip(bytes, PLPutEol, PLGetEol);
      round_trip(units, PLPutEolU, PLGetEolU);
      round_trip(packed, PLPutEolW, PLGetEolW);
    }
  }
}

}  // namespace
