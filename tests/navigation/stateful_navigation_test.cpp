// Character navigation on the stateful EBCDIC code set 930: shift runs, the Ex forms,
// truncation that keeps its NUL and closes shifted text.
#include <gtest/gtest.h>

#include <string>

#include "navigation/handles.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using navtest::Handle;

constexpr char SO = '\x0E', SI = '\x0F';

class StatefulNavigation : public ::testing::Test {
 protected:
  pltest::Session session{pltest::built_locale_dir()};
  Handle ebcdic{"English_UnitedStates.IBM930"};
  PLLocale *h = ebcdic.locale;
};

// EBCDIC A, shift-out, two double-byte characters, shift-in, EBCDIC B.
const std::string kMixed = std::string("\xC1") + SO + "\x44\x5A\x44\x5B" + SI + "\xC2";

TEST_F(StatefulNavigation, HandleIsStateful) {
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(PLGetLocaleNumInfo(h, PL_CODESET_STATEFUL, 0), 1);
}

TEST_F(StatefulNavigation, ByteLengthEx) {
  const char so[] = {SO, 0}, si[] = {SI, 0};
  EXPECT_EQ(PLByteLengthEx(h, si, 1), 1);
  EXPECT_EQ(PLByteLengthEx(h, so, 0), 2);
  EXPECT_EQ(PLByteLengthEx(h, "\xC1", 1), 2);
  EXPECT_EQ(PLByteLengthEx(h, "\xC1", 0), 1);
  EXPECT_EQ(PLByteLength(h, so), 1);  // the base form knows no shift states
}

TEST_F(StatefulNavigation, ShiftRunsDecideByTheirLastByte) {
  const std::string shifted = std::string() + SO + SI + SO + "\x44\x5A";
  const std::string single = std::string() + SI + SO + SI + "\xC1";
  PLState state = 9;
  EXPECT_EQ(PLGetCharEx(h, shifted.c_str(), 0), 0x445Au);
  EXPECT_EQ(PLGetCharEx(h, single.c_str(), 1), 0xC1u);
  EXPECT_EQ(PLNextCharEx(h, shifted.c_str(), 0, &state), shifted.c_str() + 5);
  EXPECT_EQ(state, 1u);
  EXPECT_EQ(PLNextCharEx(h, single.c_str(), 1, &state), single.c_str() + 4);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLNumCharsEx(h, shifted.c_str(), 0, -1), 1);
  EXPECT_EQ(PLNumCharsEx(h, single.c_str(), 1, -1), 1);
}

TEST_F(StatefulNavigation, NextAndPrevWalkTheMixedString) {
  const char *s = kMixed.c_str();
  PLState state = 9;
  const char *p = PLNextCharEx(h, s, 0, &state);
  EXPECT_EQ(p, s + 2);  // A, then the shift-out behind it
  EXPECT_EQ(state, 1u);
  p = PLNextCharEx(h, p, state, &state);
  EXPECT_EQ(p, s + 4);
  p = PLNextCharEx(h, p, state, &state);
  EXPECT_EQ(p, s + 7);  // the shift-in is skipped too
  EXPECT_EQ(state, 0u);
  p = PLNextCharEx(h, p, state, &state);
  EXPECT_EQ(p, s + 8);

  EXPECT_EQ(PLPrevCharEx(h, s, s + 8, 0, &state), s + 7);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLPrevCharEx(h, s, s + 7, 0, &state), s + 4);  // back over the shift-in
  EXPECT_EQ(state, 1u);
  EXPECT_EQ(PLPrevCharEx(h, s, s + 4, 1, &state), s + 2);
  EXPECT_EQ(state, 1u);
  EXPECT_EQ(PLPrevCharEx(h, s, s + 2, 1, &state), s);  // back over the shift-out
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLPrevCharEx(h, s, s + 1, 1, &state), s);  // never before the start
  EXPECT_EQ(PLPrevCharEx(h, s, s, 1, &state), s);
  EXPECT_EQ(state, 1u);
}

TEST_F(StatefulNavigation, CountAndMove) {
  const char *s = kMixed.c_str();
  PLState state = 9;
  EXPECT_EQ(PLNumCharsEx(h, s, 0, -1), 4);
  EXPECT_EQ(PLNumCharsEx(h, s, 0, 5), 2);  // the second double-byte would cross
  EXPECT_EQ(PLNumChars(h, s, -1), 8);       // the base form counts bytes
  EXPECT_EQ(PLMoveStringPointerEx(h, s, 0, 2, &state, PL_COUNT_CHARS), s + 4);
  EXPECT_EQ(state, 1u);
  EXPECT_EQ(PLMoveStringPointerEx(h, s, 0, 3, &state, PL_COUNT_CHARS), s + 6);
  EXPECT_EQ(state, 1u);  // the shift-in behind the third character is not taken
  EXPECT_EQ(PLMoveStringPointerEx(h, s, 0, 7, &state, 0), s + 7);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLMoveStringPointerEx(h, s, 0, 5, &state, 0), s + 4);
  EXPECT_EQ(PLMoveStringPointerEx(h, s, 0, 0, &state, 0), s);
  EXPECT_EQ(state, 0u);

  // A run that reaches past the limit is not entered.
  const std::string run = std::string("\xC1") + SO + SI + SO + "\x44\x5A";
  EXPECT_EQ(PLMoveStringPointerEx(h, run.c_str(), 0, 3, &state, 0), run.c_str() + 1);
  EXPECT_EQ(state, 0u);
  EXPECT_EQ(PLMoveStringPointerEx(h, run.c_str(), 0, 4, &state, 0), run.c_str() + 4);
  EXPECT_EQ(state, 1u);
}

TEST_F(StatefulNavigation, PutCharExWritesTheShiftByteItNeeds) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(PLPutCharEx(h, buffer, 0, 0x4142), 2);
  EXPECT_EQ(std::string(buffer, 4), std::string() + SO + "\x41\x42x");
  EXPECT_EQ(PLPutCharEx(h, buffer, 1, 0xC1), 1);
  EXPECT_EQ(std::string(buffer, 2), std::string() + SI + "\xC1");
  EXPECT_EQ(PLPutCharEx(h, buffer, 1, 0x4142), 2);
  EXPECT_EQ(std::string(buffer, 2), "\x41\x42");
  EXPECT_EQ(PLPutCharEx(h, buffer, 0, 0xC1), 1);
  EXPECT_EQ(buffer[0], '\xC1');
}

TEST_F(StatefulNavigation, TerminateStringEx) {
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(PLTerminateStringEx(h, buffer, 1, PL_TERMINATE), 2);
  EXPECT_EQ(std::string(buffer, 3), std::string() + SI + '\0' + 'x');
  EXPECT_EQ(PLTerminateStringEx(h, buffer, 1, 0), 1);
  EXPECT_EQ(PLTerminateStringEx(h, buffer, 0, PL_TERMINATE), 1);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(PLTerminateStringEx(h, buffer, 0, 0), 0);
  EXPECT_EQ(PLTerminateStringEx(h, buffer, 1, PL_TERMINATE | 1), -1);
  EXPECT_EQ(PLGetError(h), PL_ERR_ARGUMENT);
}

struct Cut {
  int32_t size;
  std::string kept;
  int32_t result;
};

// A, shift-out, two double-byte characters, shift-in: 7 bytes and the NUL.
const std::string kShifted = std::string("\xC1") + SO + "\x44\x5A\x44\x5B" + SI;

TEST_F(StatefulNavigation, TruncateKeepsTheNulAndClosesShiftedText) {
  const std::string closed_one = std::string("\xC1") + SO + "\x44\x5A" + SI;
  for (const Cut &cut : {Cut{9, kShifted, 8}, Cut{8, kShifted, 8}, Cut{7, closed_one, 6},
                         Cut{6, closed_one, 6}, Cut{5, "\xC1", 2}, Cut{4, "\xC1", 2},
                         Cut{2, "\xC1", 2}, Cut{1, "", 1}, Cut{0, "", 1}, Cut{-4, "", 1}}) {
    std::string text = kShifted;
    EXPECT_EQ(PLTruncateStringEx(h, text.data(), 0, cut.size, 0), cut.result) << cut.size;
    EXPECT_EQ(std::string(text.c_str()), cut.kept) << cut.size;
  }
}

TEST_F(StatefulNavigation, TruncateKeepsAClosingShiftIn) {
  // Shifted from the start: xx, shift-in, shift-out, yy.
  const std::string text = std::string("\x44\x5A") + SI + SO + "\x44\x5B";
  std::string cut = text;
  EXPECT_EQ(PLTruncateStringEx(h, cut.data(), 1, 5, 0), 4);
  EXPECT_EQ(std::string(cut.c_str()), std::string("\x44\x5A") + SI);
  // Without shift bytes to reuse, room is made for a shift-in.
  std::string plain = "\x44\x5A\x44\x5B\x44\x5C";
  EXPECT_EQ(PLTruncateStringEx(h, plain.data(), 1, 5, 0), 4);
  EXPECT_EQ(std::string(plain.c_str()), std::string("\x44\x5A") + SI);
  plain = "\x44\x5A\x44\x5B\x44\x5C";
  EXPECT_EQ(PLTruncateStringEx(h, plain.data(), 1, 6, 0), 6);
  EXPECT_EQ(std::string(plain.c_str()), std::string("\x44\x5A\x44\x5B") + SI);
  // Too small for a shift-in and the NUL.
  plain = "\x44\x5A";
  EXPECT_EQ(PLTruncateStringEx(h, plain.data(), 1, 1, 0), 1);
  EXPECT_EQ(plain[0], 0);
  plain = "\x44\x5A";
  EXPECT_EQ(PLTruncateStringEx(h, plain.data(), 1, 0, 0), 1);
  EXPECT_EQ(plain[0], 0);
}

TEST_F(StatefulNavigation, TruncateCountingCharacters) {
  // A, two double-byte characters and the NUL: 4 characters.
  std::string text = kShifted;
  EXPECT_EQ(PLTruncateStringEx(h, text.data(), 0, 4, PL_COUNT_CHARS), 4);
  EXPECT_EQ(text.c_str(), kShifted);
  EXPECT_EQ(PLTruncateStringEx(h, text.data(), 0, 3, PL_COUNT_CHARS), 3);
  EXPECT_EQ(std::string(text.c_str()), std::string("\xC1") + SO + "\x44\x5A" + SI);
  EXPECT_EQ(PLTruncateStringEx(h, text.data(), 0, 1, PL_COUNT_CHARS), 1);
  EXPECT_EQ(std::string(text.c_str()), "");
}

TEST_F(StatefulNavigation, TypesFollowTheShiftState) {
  const std::string shifted = std::string() + SO + "\x42\xC1";  // full-width A
  EXPECT_EQ(PLGetCharTypeEx(h, shifted.c_str(), 0, PL_CHAR_CLASS), 0x213u);
  EXPECT_EQ(PLGetCharTypeEx(h, "\xC1", 0, PL_CHAR_CLASS), 0x213u);  // EBCDIC A
  EXPECT_EQ(PLGetCharType(h, "\x81", PL_CHAR_CLASS), 0x201u);        // a katakana letter in 930
  const std::string so_a = std::string() + SO + "\xC1";
  EXPECT_EQ(PLGetCharType(h, so_a.c_str(), PL_CHAR_CLASS), 0u);  // the base form reads the shift byte
  EXPECT_EQ(PLGetCharTypeW(h, 0x42C1, PL_CHAR_CLASS), 0x213u);
}

}  // namespace
