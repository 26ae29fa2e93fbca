// Character navigation on code sets without shift states: lengths, reading and
// writing characters, stepping, counting, moving and truncating.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "frame/handle.h"
#include "navigation/handles.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using navtest::Handle;
using pltest::Session;

class Navigation : public ::testing::Test {
 protected:
  Session session{pltest::built_locale_dir()};
};

TEST(BuiltinNavigation, EveryByteIsOneCharacter) {
  pltest::TempDir empty;
  Session session(empty.path(), 0, PL_INIT_BUILTIN);
  Handle ascii("English_UnitedStates.US-ASCII");
  ASSERT_NE(ascii.locale, nullptr);
  char text[256];
  for (int i = 0; i < 255; ++i) text[i] = static_cast<char>(i + 1);
  text[255] = 0;
  for (int i = 0; i < 255; ++i) {
    EXPECT_EQ(PLByteLength(ascii.locale, text + i), 1);
    EXPECT_EQ(PLNextChar(ascii.locale, text + i), text + i + 1);
    EXPECT_EQ(PLGetChar(ascii.locale, text + i), static_cast<PLWChar>(i + 1));
  }
  EXPECT_EQ(PLNumChars(ascii.locale, text, -1), 255);
  EXPECT_EQ(PLMoveStringPointer(ascii.locale, text, 100, PL_COUNT_CHARS), text + 100);
  EXPECT_EQ(PLGetCharType(ascii.locale, "a", PL_CHAR_CLASS), 0x215u);
}

TEST_F(Navigation, ByteLengthOfPackedCharacters) {
  Handle h("English.EUC-JP");
  EXPECT_EQ(PLByteLengthW(h.locale, 0x00A4A1), 2);
  EXPECT_EQ(PLByteLengthW(h.locale, 0x8EA1A1A1), 4);
  EXPECT_EQ(PLByteLengthW(h.locale, 0x8FA1A1), 3);
  EXPECT_EQ(PLByteLengthW(h.locale, 0x41), 1);
  EXPECT_EQ(PLByteLengthW(h.locale, 0), 1);
  EXPECT_EQ(PLByteLengthW(nullptr, 0x4142), 2);  // needs no code set
}

TEST_F(Navigation, GbRuleTellsTwoFromFourByteCharacters) {
  Handle gb("English.GB18030");
  ASSERT_NE(gb.locale, nullptr);
  const char four[] = "\x81\x30\x81\x30" "A";
  const char two[] = "\x81\x40" "A";
  EXPECT_EQ(PLByteLength(gb.locale, four), 4);
  EXPECT_EQ(PLByteLength(gb.locale, two), 2);
  EXPECT_EQ(PLGetChar(gb.locale, four), 0x81308130u);
  EXPECT_EQ(PLGetChar(gb.locale, two), 0x8140u);
  EXPECT_EQ(PLNextChar(gb.locale, four), four + 4);
  EXPECT_EQ(PLNextChar(gb.locale, two), two + 2);
  EXPECT_EQ(PLNumChars(gb.locale, four, -1), 2);
  EXPECT_EQ(PLNumChars(gb.locale, two, -1), 2);
  EXPECT_EQ(PLPrevChar(gb.locale, four, four + 4), four);
  EXPECT_EQ(PLPrevChar(gb.locale, four, four + 3), four);
}

TEST_F(Navigation, ReadingStopsAtTheNul) {
  Handle sjis("English.MS932");
  const char cut[] = "a\x82";  // a lead byte whose trail byte would be the NUL
  EXPECT_EQ(PLByteLength(sjis.locale, cut + 1), 2);
  EXPECT_EQ(PLNextChar(sjis.locale, cut + 1), cut + 2);
  EXPECT_EQ(PLGetChar(sjis.locale, cut + 1), 0x82u);
  EXPECT_EQ(PLNumChars(sjis.locale, cut, -1), 1);  // the cut character is not counted
  EXPECT_EQ(PLMoveStringPointer(sjis.locale, cut, 10, 0), cut + 1);
  EXPECT_EQ(PLMoveStringPointer(sjis.locale, cut, 10, PL_COUNT_CHARS), cut + 1);
}

TEST_F(Navigation, PutCharWritesFromTheHighestNonZeroByte) {
  Handle h("English.MS932");
  char buffer[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(PLPutChar(h.locale, buffer, 0x82A0), 2);
  EXPECT_EQ(std::string(buffer, 3), "\x82\xA0x");
  EXPECT_EQ(PLPutChar(h.locale, buffer, 0), 1);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(PLPutChar(h.locale, buffer, 0x01020304), 4);
  EXPECT_EQ(std::string(buffer, 4), "\x01\x02\x03\x04");
  // Without shift bytes the Ex form writes the same.
  EXPECT_EQ(PLPutCharEx(h.locale, buffer, 1, 0x41), 1);
  EXPECT_EQ(buffer[0], 'A');
}

TEST_F(Navigation, CountingWithAndWithoutLength) {
  Handle h("English.MS932");
  const char text[] = "a\x82\xA0" "b\x82\xA1";  // a, hiragana, b, hiragana
  EXPECT_EQ(PLNumChars(h.locale, text, -1), 4);
  EXPECT_EQ(PLNumChars(h.locale, text, -7), 4);
  EXPECT_EQ(PLNumChars(h.locale, text, 0), 0);
  EXPECT_EQ(PLNumChars(h.locale, text, 2), 1);  // the hiragana would cross the end
  EXPECT_EQ(PLNumChars(h.locale, text, 3), 2);
  EXPECT_EQ(PLNumChars(h.locale, text, 7), 5);  // the NUL, given a length, is a character
  Handle latin("English.ISO-8859-1");
  EXPECT_EQ(PLNumChars(latin.locale, "abc", 2), 2);
  EXPECT_EQ(PLNumChars(latin.locale, "abc", -1), 3);
}

TEST_F(Navigation, MovingByBytesAndCharacters) {
  Handle h("English.MS932");
  const char text[] = "a\x82\xA0" "b\x82\xA1";
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 0, 0), text);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, -3, PL_COUNT_CHARS), text);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 2, 0), text + 1);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 3, 0), text + 3);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 2, PL_COUNT_CHARS), text + 3);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 4, PL_COUNT_CHARS), text + 6);
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 9, PL_COUNT_CHARS), text + 6);
  Handle latin("English.ISO-8859-1");
  const char abc[] = "abc";
  EXPECT_EQ(PLMoveStringPointer(latin.locale, abc, 2, PL_COUNT_CHARS), abc + 2);
}

TEST_F(Navigation, PrevCharNeverGoesBeforeTheStart) {
  Handle h("English.MS932");
  const char text[] = "a\x82\xA0" "b";
  EXPECT_EQ(PLPrevChar(h.locale, text, text + 4), text + 3);
  EXPECT_EQ(PLPrevChar(h.locale, text, text + 3), text + 1);
  EXPECT_EQ(PLPrevChar(h.locale, text, text + 2), text + 1);  // inside a character
  EXPECT_EQ(PLPrevChar(h.locale, text, text + 1), text);
  EXPECT_EQ(PLPrevChar(h.locale, text, text), text);
  Handle latin("English.ISO-8859-1");
  EXPECT_EQ(PLPrevChar(latin.locale, text + 1, text + 3), text + 2);
  EXPECT_EQ(PLPrevChar(latin.locale, text + 1, text + 1), text + 1);
}

TEST_F(Navigation, TruncateString) {
  Handle latin("English.ISO-8859-1");
  char text[] = "abcdef";
  EXPECT_EQ(PLTruncateString(latin.locale, text, 4, 0), 4);
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(PLTruncateString(latin.locale, text, 10, 0), 4);
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(PLTruncateString(latin.locale, text, 0, 0), 1);
  EXPECT_STREQ(text, "");

  Handle sjis("English.MS932");
  char wide[] = "ab\x82\xA0" "c";
  EXPECT_EQ(PLTruncateString(sjis.locale, wide, 4, 0), 3);  // the hiragana would not fit
  EXPECT_STREQ(wide, "ab");
  char counted[] = "ab\x82\xA0" "cd";
  EXPECT_EQ(PLTruncateString(sjis.locale, counted, 4, PL_COUNT_CHARS), 4);
  EXPECT_STREQ(counted, "ab\x82\xA0");
  char whole[] = "ab";
  EXPECT_EQ(PLTruncateString(sjis.locale, whole, 4, PL_COUNT_CHARS), 3);
  EXPECT_STREQ(whole, "ab");
  EXPECT_EQ(PLTruncateString(sjis.locale, whole, -1, PL_COUNT_CHARS), 1);
  EXPECT_STREQ(whole, "");
}

TEST_F(Navigation, FlagsOutsideTheSetAreRefused) {
  Handle h("English.MS932");
  char text[] = "abc";
  EXPECT_EQ(PLMoveStringPointer(h.locale, text, 1, PL_TERMINATE), nullptr);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLTruncateString(h.locale, text, 2, PL_TERMINATE), -1);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_STREQ(text, "abc");
  PLState state = 7;
  EXPECT_EQ(PLMoveStringPointerEx(h.locale, text, 0, 1, &state, 1), nullptr);
  EXPECT_EQ(PLTruncateStringEx(h.locale, text, 0, 2, 0x8000), -1);
  EXPECT_EQ(PLTerminateStringEx(h.locale, text, 0, 1), -1);
  EXPECT_EQ(PLGetError(h.locale), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLNumChars(h.locale, text, -1), 3);
  EXPECT_EQ(PLGetError(h.locale), PL_OK);  // cleared on entry
}

TEST_F(Navigation, NullHandleWithoutDefaultFailsQuietly) {
  ASSERT_EQ(pl::process().default_locale, nullptr);
  char text[] = "abc";
  PLState state = 5;
  EXPECT_EQ(PLByteLength(nullptr, text), -1);
  EXPECT_EQ(PLGetError(nullptr), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLNumChars(nullptr, text, -1), -1);
  EXPECT_EQ(PLNumCharsEx(nullptr, text, 0, -1), -1);
  EXPECT_EQ(PLGetChar(nullptr, text), 0u);
  EXPECT_EQ(PLNextChar(nullptr, text), nullptr);
  EXPECT_EQ(PLNextCharEx(nullptr, text, 0, &state), nullptr);
  EXPECT_EQ(PLPrevChar(nullptr, text, text + 1), nullptr);
  EXPECT_EQ(PLMoveStringPointer(nullptr, text, 1, 0), nullptr);
  EXPECT_EQ(PLTruncateString(nullptr, text, 2, 0), -1);
  EXPECT_EQ(PLTerminateStringEx(nullptr, text, 1, PL_TERMINATE), -1);
  EXPECT_EQ(PLPutChar(nullptr, text, 0x41), -1);
  EXPECT_EQ(PLGetCharType(nullptr, text, PL_CHAR_CLASS), 0u);
  EXPECT_EQ(PLGetError(nullptr), PL_ERR_ARGUMENT);
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(state, 5u);
}

TEST_F(Navigation, NullHandleSelectsTheDefault) {
  ASSERT_EQ(PLSetLocale("English.MS932", 0), PL_OK);
  const char text[] = "\x82\xA0" "a";
  EXPECT_EQ(PLNumChars(nullptr, text, -1), 2);
  EXPECT_EQ(PLNextChar(nullptr, text), text + 2);
  EXPECT_EQ(PLGetError(nullptr), PL_OK);
}

TEST_F(Navigation, ExFormsOnSetsWithoutShiftStatesAreTheBaseForms) {
  Handle h("English.MS932");
  const char text[] = "a\x0E\x82\xA0\x0F" "b";
  PLState state = 9;
  EXPECT_EQ(PLByteLengthEx(h.locale, text + 1, 1), 1);
  EXPECT_EQ(PLGetCharEx(h.locale, text + 1, 1), 0x0Eu);
  EXPECT_EQ(PLNextCharEx(h.locale, text + 2, 0, &state), text + 4);
  EXPECT_EQ(PLPrevCharEx(h.locale, text, text + 4, 1, &state), text + 2);
  EXPECT_EQ(PLNumCharsEx(h.locale, text, 1, -1), 5);
  EXPECT_EQ(PLMoveStringPointerEx(h.locale, text, 1, 3, &state, 0), text + 2);
  EXPECT_EQ(state, 9u);  // no shift states, nothing reported
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(PLTerminateStringEx(h.locale, buffer, 1, 0), 0);
  EXPECT_EQ(PLTerminateStringEx(h.locale, buffer, 1, PL_TERMINATE), 1);
  EXPECT_EQ(buffer[0], 0);
}

}  // namespace
