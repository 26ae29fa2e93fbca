// The edge cases of the conversion exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using Bytes = std::string;

class Conversion : public testing::Test {
 protected:
  void SetUp() override {
    ms932_ = open(".MS932");
    utf8_ = open(".UTF-8");
    latin1_ = open(".ISO-8859-1");
    ibm930_ = open(".IBM930");
    gb_ = open(".GB18030");
  }
  void TearDown() override {
    for (PLLocale *l : {ms932_, utf8_, latin1_, ibm930_, gb_}) PLReleaseLocale(l);
  }
  PLLocale *open(const char *name) {
    int32_t error = 0;
    PLLocale *locale = PLGetLocale(name, 0, &error);
    EXPECT_NE(locale, nullptr) << name;
    return locale;
  }

  pltest::Session session_{pltest::built_locale_dir()};
  PLLocale *ms932_, *utf8_, *latin1_, *ibm930_, *gb_;
};

// "あ" (U+3042) in MS932 and UTF-8.
const char kAMs932[] = "\x82\xA0";
const char kAUtf8[] = "\xE3\x81\x82";

TEST_F(Conversion, BufferHoldsACharacterCutByTheInput) {
  PLConversion *c = PLOpenConversion(utf8_, ms932_);
  ASSERT_NE(c, nullptr);
  char out[8];
  char *at = out;
  int32_t out_left = sizeof out;
  const char *in = kAMs932;
  int32_t in_left = 1;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_ERR_PARTIAL_CHAR);
  EXPECT_EQ(in_left, 0);
  EXPECT_EQ(at, out);
  in_left = 1;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_OK);
  EXPECT_EQ(Bytes(out, at), kAUtf8);
  EXPECT_EQ(PLCloseConversion(c), PL_OK);
}

TEST_F(Conversion, BufferDeliversWhatDidNotFitFirst) {
  PLConversion *c = PLOpenConversion(ms932_, utf8_);
  char out[4];
  char *at = out;
  int32_t out_left = 1;
  const char *in = "\xE3\x81\x82" "A";
  int32_t in_left = 4;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_ERR_OUTPUT_FULL);
  EXPECT_EQ(Bytes(out, at), "\x82");
  EXPECT_EQ(in_left, 1);
  at = out;
  out_left = sizeof out;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_OK);
  EXPECT_EQ(Bytes(out, at), "\xA0" "A");
  out_left = 0;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_OK);
  EXPECT_EQ(PLCloseConversion(c), PL_OK);
}

TEST_F(Conversion, BufferNotesReplacedCharacters) {
  PLConversion *c = PLOpenConversion(latin1_, utf8_);
  char out[8];
  char *at = out;
  int32_t out_left = sizeof out;
  const char *in = kAUtf8;
  int32_t in_left = 3;
  EXPECT_EQ(PLConvertBuffer(c, &at, &out_left, &in, &in_left), PL_OK);
  EXPECT_EQ(PLGetError(latin1_), PL_WARN_REPLACED);
  EXPECT_EQ(Bytes(out, at), "?");
  EXPECT_EQ(PLCloseConversion(c), PL_OK);
}

TEST_F(Conversion, StringToUnicodeWritesAndCountsTheNul) {
  PLUChar out[8];
  EXPECT_EQ(PLStringToUnicode(out, 8, ms932_, "a\x82\xA0", -1, 0), 3);
  EXPECT_EQ(out[0], 'a');
  EXPECT_EQ(out[1], 0x3042);
  EXPECT_EQ(out[2], 0);
  // No room for the NUL: it is left out and the output counts as cut.
  EXPECT_EQ(PLStringToUnicode(out, 2, ms932_, "a\x82\xA0", -1, 0), 2);
  EXPECT_EQ(PLGetError(ms932_), PL_ERR_BUFFER_TOO_SMALL);
  // A character cut by the length ends the conversion.
  EXPECT_EQ(PLStringToUnicode(out, 8, ms932_, "a\x82\xA0", 2, 0), 1);
  EXPECT_EQ(PLGetError(ms932_), PL_OK);
  // PL_TERMINATE reserves a unit.
  EXPECT_EQ(PLStringToUnicode(out, 2, ms932_, "ab", 2, PL_TERMINATE), 2);
  EXPECT_EQ(out[0], 'a');
  EXPECT_EQ(out[1], 0);
  // PL_COUNT_CHARS: two characters of three bytes.
  EXPECT_EQ(PLStringToUnicode(out, 8, ms932_, "\x82\xA0" "bc", 2, PL_COUNT_CHARS), 2);
  EXPECT_EQ(out[1], 'b');
}

TEST_F(Conversion, FourByteUtf8NeedsTwoUnits) {
  PLUChar out[4];
  EXPECT_EQ(PLStringToUnicode(out, 1, utf8_, "\xF0\x90\x80\x80", 4, 0), 0);
  EXPECT_EQ(PLStringToUnicode(out, 2, utf8_, "\xF0\x90\x80\x80", 4, 0), 2);
  EXPECT_EQ(out[0], 0xD800);
  EXPECT_EQ(out[1], 0xDC00);
}

TEST_F(Conversion, ReplacedCharactersAreReported) {
  char out[8];
  EXPECT_EQ(PLConvertString(latin1_, out, sizeof out, utf8_, kAUtf8, 3, 0), 1);
  EXPECT_EQ(out[0], '?');
  EXPECT_EQ(PLGetError(latin1_), PL_WARN_REPLACED);
  EXPECT_EQ(PLConvertString(latin1_, out, sizeof out, utf8_, "?", 1, 0), 1);
  EXPECT_EQ(PLGetError(latin1_), PL_OK);
  // An unmappable source sequence becomes the replacement byte too.
  EXPECT_EQ(PLConvertString(latin1_, out, sizeof out, ms932_, "\x81\x20", 2, 0), 1);
  EXPECT_EQ(PLGetError(latin1_), PL_WARN_REPLACED);
}

TEST_F(Conversion, ConvertStringSizes) {
  char out[8];
  EXPECT_EQ(PLConvertString(utf8_, out, 4, ms932_, "", 0, PL_TERMINATE), 1);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(PLConvertString(utf8_, out, 0, ms932_, "a", 1, PL_TERMINATE), 0);
  // The second character does not fit: cut at the boundary, code 40.
  EXPECT_EQ(PLConvertString(utf8_, out, 5, ms932_, "\x82\xA0\x82\xA0", 4, 0), 3);
  EXPECT_EQ(PLGetError(utf8_), PL_ERR_BUFFER_TOO_SMALL);
  EXPECT_EQ(PLConvertString(utf8_, out, 8, ms932_, "\x82\xA0" "a", -1, 0), 5);
  EXPECT_EQ(Bytes(out, 5), Bytes(kAUtf8) + "a" + Bytes(1, '\0'));
  EXPECT_EQ(PLConvertString(utf8_, out, 2, ms932_, "\x82\xA0" "ab", 2, PL_COUNT_CHARS), 2);
  EXPECT_EQ(Bytes(out, 4), Bytes(kAUtf8) + "a");
}

TEST_F(Conversion, RatioOfTwoCodesets) {
  EXPECT_EQ(PLConversionRatio(ms932_, ms932_), 1);
  EXPECT_EQ(PLConversionRatio(utf8_, ms932_), 4);
  EXPECT_EQ(PLConversionRatio(ibm930_, utf8_), 3);
}

TEST_F(Conversion, FlagsOutsideTheSetAreRefused) {
  PLUChar units[4];
  char bytes[4];
  PLWChar wide[4];
  EXPECT_EQ(PLStringToUnicode(units, 4, ms932_, "a", 1, 1), -1);
  EXPECT_EQ(PLGetError(ms932_), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLWideToMb(ms932_, bytes, 4, wide, 0, PL_TERMINATE), -1);
  EXPECT_EQ(PLGetError(ms932_), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLUnicodeToStringEnhanced(ms932_, bytes, 4, 4, units, 0, nullptr, nullptr,
                                      PL_COUNT_CHARS),
            -1);
  EXPECT_EQ(PLConvertString(utf8_, bytes, 4, ms932_, "a", 1, 2), -1);
  EXPECT_EQ(PLGetError(utf8_), PL_ERR_ARGUMENT);
}

TEST_F(Conversion, EnhancedNeedsALength) {
  PLUChar units[8];
  int32_t bytes_read = 9, chars_read = 9;
  EXPECT_EQ(PLStringToUnicodeEnhanced(units, 8, ms932_, "ab", -2, -2, &bytes_read, &chars_read, 0),
            -1);
  EXPECT_EQ(PLGetError(ms932_), PL_ERR_NOT_FOUND);
  // The smaller limit wins; a NUL reached counts as read.
  EXPECT_EQ(PLStringToUnicodeEnhanced(units, 8, ms932_, "\x82\xA0" "bc", -1, 2, &bytes_read,
                                      &chars_read, 0),
            2);
  EXPECT_EQ(bytes_read, 3);
  EXPECT_EQ(chars_read, 2);
  EXPECT_EQ(PLStringToUnicodeEnhanced(units, 8, ms932_, "\x82\xA0" "bc", -1, -2, &bytes_read,
                                      &chars_read, 0),
            4);
  EXPECT_EQ(bytes_read, 5);
  EXPECT_EQ(chars_read, 4);
  EXPECT_EQ(units[3], 0);
}

TEST_F(Conversion, UnicodeToStringEnhancedLimits) {
  const PLUChar text[] = {0x3042, 'b', 0xD800, 0xDC00, 'c', 0};
  char out[16];
  int32_t read = 0, written = 0;
  // Two characters at most.
  EXPECT_EQ(PLUnicodeToStringEnhanced(utf8_, out, 16, 2, text, -1, &read, &written, 0), 4);
  EXPECT_EQ(read, 2);
  EXPECT_EQ(written, 2);
  // Seven bytes: the pair does not fit after "あb".
  EXPECT_EQ(PLUnicodeToStringEnhanced(utf8_, out, 7, 9, text, -1, &read, &written, 0), 4);
  EXPECT_EQ(read, 2);
  // Everything, and the NUL of the source.
  EXPECT_EQ(PLUnicodeToStringEnhanced(utf8_, out, 16, 9, text, -1, &read, &written, 0), 10);
  EXPECT_EQ(read, 6);
  EXPECT_EQ(written, 5);
  EXPECT_EQ(PLUnicodeToStringEnhanced(utf8_, out, 0, 9, text, -1, &read, &written, 0), 0);
  // A single-byte code set writes one byte per unit.
  EXPECT_EQ(PLUnicodeToStringEnhanced(latin1_, out, 16, 9, text, 5, &read, &written, 0), 5);
  EXPECT_EQ(Bytes(out, 5), "?b??c");
}

TEST_F(Conversion, StatefulOutputIsShiftedAndClosed) {
  char out[16];
  // "A", "あ", "B" from the single-byte state.
  const PLUChar text[] = {'A', 0x3042, 'B'};
  int32_t n = PLUnicodeToString(ibm930_, out, sizeof out, text, 3, 0);
  ASSERT_EQ(n, 6);
  EXPECT_EQ(out[1], '\x0E');
  EXPECT_EQ(out[4], '\x0F');
  Bytes dbcs(out + 2, 2);
  // Ending shifted: closed with a shift-in byte.
  EXPECT_EQ(PLUnicodeToString(ibm930_, out, sizeof out, text, 2, 0), 5);
  EXPECT_EQ(out[4], '\x0F');
  // No room for the shift-in: the last character goes.
  EXPECT_EQ(PLUnicodeToString(ibm930_, out, 4, text, 2, 0), 1);
  // From the shifted state a double-byte character needs no shift-out.
  EXPECT_EQ(PLUnicodeToStringEx(ibm930_, out, 1, sizeof out, text + 1, 1, 0), 3);
  EXPECT_EQ(Bytes(out, 3), dbcs + "\x0F");
  // Packed characters get shift bytes but no closing shift-in.
  PLWChar wide[4];
  EXPECT_EQ(PLMbToWide(ibm930_, wide, 4, "\xC1\x0E\x44\x5A\x0F", 5, 0), 2);
  char back[8];
  EXPECT_EQ(PLWideToMb(ibm930_, back, sizeof back, wide, 2, 0), 4);
  EXPECT_EQ(Bytes(back, 4), "\xC1\x0E\x44\x5A");
  // Between code sets, closed before the terminator only.
  EXPECT_EQ(PLConvertString(ibm930_, out, sizeof out, ms932_, kAMs932, 2, 0), 3);
  EXPECT_EQ(PLConvertString(ibm930_, out, sizeof out, ms932_, kAMs932, 2, PL_TERMINATE), 5);
  EXPECT_EQ(Bytes(out, 5), "\x0E" + dbcs + "\x0F" + Bytes(1, '\0'));
}

TEST_F(Conversion, GbTwoAndFourByteCharacters) {
  PLUChar units[4];
  EXPECT_EQ(PLStringToUnicode(units, 4, gb_, "\x81\x30\x81\x30", 4, 0), 1);
  EXPECT_EQ(units[0], 0x0080);
  EXPECT_EQ(PLStringToUnicode(units, 4, gb_, "\x81\x40", 2, 0), 1);
  EXPECT_EQ(units[0], 0x4E02);
}

TEST_F(Conversion, NullHandleWithoutDefault) {
  PLUChar units[4];
  char bytes[4];
  EXPECT_EQ(PLStringToUnicode(units, 4, nullptr, "a", 1, 0), -1);
  EXPECT_EQ(PLGetError(nullptr), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLConvertString(nullptr, bytes, 4, ms932_, "a", 1, 0), -1);
  EXPECT_EQ(PLOpenConversion(nullptr, nullptr), nullptr);
  EXPECT_EQ(PLConversionRatio(ms932_, nullptr), -1);
  EXPECT_EQ(PLCloseConversion(nullptr), PL_ERR_ARGUMENT);
}

TEST_F(Conversion, DefaultHandleServesNull) {
  ASSERT_EQ(PLSetLocale(".MS932", 0), PL_OK);
  char out[8];
  EXPECT_EQ(PLConvertString(utf8_, out, sizeof out, nullptr, kAMs932, 2, 0), 3);
  EXPECT_EQ(Bytes(out, 3), kAUtf8);
}

TEST(ConversionMemory, OpenWithoutMemory) {
  pltest::Session session(pltest::built_locale_dir());
  int32_t error = 0;
  PLLocale *locale = PLGetLocale(".UTF-8", 0, &error);
  ASSERT_NE(locale, nullptr);
  session.heap().fail_at = session.heap().attempts + 1;
  EXPECT_EQ(PLOpenConversion(locale, locale), nullptr);
  EXPECT_EQ(PLGetError(locale), PL_ERR_NO_MEMORY);
  session.heap().fail_at = -1;
  PLReleaseLocale(locale);
}

}  // namespace
