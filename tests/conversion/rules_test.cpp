// The length rule (with the GB two-byte exception) and the shift rule, including
// input that ends inside a character.
#include <gtest/gtest.h>

#include <vector>

#include "charset/length_rule.h"
#include "charset/shift_rule.h"
#include "locale/builtin_set.h"
#include "locale/layouts/charset_table.h"
#include "test_codeset.h"

namespace {

namespace cs = pl::layout::charset;
using Bytes = std::vector<uint8_t>;

// The GB shape: 0x81..0x84 start four-byte codes, the other high bytes two-byte ones.
pltest::TestCodeset gb_lengths(bool gb_flag) {
  pltest::TestCodeset set(938);
  set.set_flags(cs::kAsciiBased | (gb_flag ? cs::kGbRule : 0));
  set.set_max_length(4);
  set.set_byte_length(0x80, 0xFF, 2);
  set.set_byte_length(0x81, 0x84, 4);
  return set;
}

pl::CharLength length_of(pltest::TestCodeset &set, const Bytes &bytes) {
  return pl::char_length(pl::CharsetView(set.entry()), bytes.data(), bytes.size());
}

TEST(LengthRule, GbFourByteCodeAndTwoByteCodeShareTheirLeadBytes) {
  pltest::TestCodeset set = gb_lengths(true);
  EXPECT_EQ(length_of(set, {0x81, 0x30, 0x81, 0x30}).rule, 4);
  EXPECT_EQ(length_of(set, {0x81, 0x40}).rule, 2);
  EXPECT_EQ(length_of(set, {0x84, 0xFE}).rule, 2);
  EXPECT_EQ(length_of(set, {0x84, 0x39, 0xFE, 0x39}).rule, 4);
  EXPECT_EQ(length_of(set, {0x85, 0x30}).rule, 2) << "outside 0x81..0x84 the table decides";
}

TEST(LengthRule, TwoByteExceptionOnlyWithTheGbFlagAndOnlyForItsLeadBytes) {
  pltest::TestCodeset plain = gb_lengths(false);
  EXPECT_EQ(length_of(plain, {0x81, 0x40}).rule, 4);
  pltest::TestCodeset gb = gb_lengths(true);
  gb.set_byte_length(0x80, 0x80, 4);
  gb.set_byte_length(0x85, 0x85, 4);
  EXPECT_EQ(length_of(gb, {0x80, 0x40}).rule, 4);
  EXPECT_EQ(length_of(gb, {0x85, 0x40}).rule, 4);
  EXPECT_EQ(length_of(gb, {0x81, 0x3F}).rule, 4);
}

TEST(LengthRule, CharacterCutByTheEndOfInputIsReportedNotReadPast) {
  pltest::TestCodeset set = gb_lengths(true);
  // A lone GB lead byte: its second byte is not there to look at.
  pl::CharLength lead = length_of(set, {0x81});
  EXPECT_EQ(lead.rule, 4);
  EXPECT_EQ(lead.bytes, 1);
  EXPECT_FALSE(lead.complete());
  pl::CharLength three = length_of(set, {0x81, 0x30, 0x81});
  EXPECT_EQ(three.bytes, 3);
  EXPECT_FALSE(three.complete());
  EXPECT_TRUE(length_of(set, {0x81, 0x30, 0x81, 0x30}).complete());
  pl::CharLength none = pl::char_length(pl::CharsetView(set.entry()), nullptr, 0);
  EXPECT_EQ(none.rule, 0);
  EXPECT_EQ(none.bytes, 0);
}

TEST(LengthRule, ZeroInTheTableIsReportedAsZero) {
  pltest::TestCodeset set;
  set.set_byte_length(0xFF, 0xFF, 0);
  pl::CharLength zero = length_of(set, {0xFF, 0x41});
  EXPECT_EQ(zero.rule, 0);
  EXPECT_EQ(zero.bytes, 0);
}

TEST(LengthRule, BuiltinUsAsciiAdvancesOneBytePerCharacter) {
  pl::CharsetView set(pl::builtin::charset_table().data);
  for (int b = 0; b < 256; ++b) {
    uint8_t bytes[2] = {static_cast<uint8_t>(b), 0x40};
    EXPECT_EQ(pl::char_length(set, bytes, 2).rule, 1) << b;
  }
}

pltest::TestCodeset stateful_set() {
  pltest::TestCodeset set(930);
  set.set_flags(cs::kStateful);
  set.set_max_length(2);
  set.set_shift_bytes(0x0E, 0x0F);
  return set;
}

pl::ShiftRun run_of(pltest::TestCodeset &set, const Bytes &bytes, PLState state) {
  return pl::skip_shift_run(pl::CharsetView(set.entry()), bytes.data(), bytes.size(), state);
}

TEST(ShiftRule, LastByteOfARunDecidesTheState) {
  pltest::TestCodeset set = stateful_set();
  pl::ShiftRun out_in_out = run_of(set, {0x0E, 0x0F, 0x0E, 0x41, 0x42}, pl::kSingleByteState);
  EXPECT_EQ(out_in_out.length, 3u);
  EXPECT_EQ(out_in_out.state, pl::kShiftedState);
  pl::ShiftRun in_out_in = run_of(set, {0x0F, 0x0E, 0x0F, 0x41}, pl::kShiftedState);
  EXPECT_EQ(in_out_in.length, 3u);
  EXPECT_EQ(in_out_in.state, pl::kSingleByteState);
}

TEST(ShiftRule, WithoutARunTheGivenStateStands) {
  pltest::TestCodeset set = stateful_set();
  pl::ShiftRun none = run_of(set, {0x41, 0x0E}, pl::kShiftedState);
  EXPECT_EQ(none.length, 0u);
  EXPECT_EQ(none.state, pl::kShiftedState);
  EXPECT_EQ(run_of(set, {0x41}, 7).state, pl::kShiftedState) << "any non-zero state is shifted";
}

TEST(ShiftRule, CodeSetWithoutTheStatefulFlagHasNoShiftBytes) {
  pltest::TestCodeset set;
  set.set_shift_bytes(0x00, 0x00);
  pl::ShiftRun run = run_of(set, {0x00, 0x00}, pl::kSingleByteState);
  EXPECT_EQ(run.length, 0u);
}

TEST(ShiftRule, CharacterLengthFollowsTheStateAfterTheRun) {
  pltest::TestCodeset set = stateful_set();
  pl::CharsetView view(set.entry());
  Bytes shifted = {0x0F, 0x0E, 0x45, 0x41};
  pl::StatefulChar c =
      pl::stateful_char(view, shifted.data(), shifted.size(), pl::kSingleByteState);
  EXPECT_EQ(c.shift.length, 2u);
  EXPECT_EQ(c.length.rule, 2);
  EXPECT_TRUE(c.length.complete());
  Bytes single = {0x0E, 0x0F, 0x41};
  c = pl::stateful_char(view, single.data(), single.size(), pl::kShiftedState);
  EXPECT_EQ(c.shift.state, pl::kSingleByteState);
  EXPECT_EQ(c.length.rule, 1);
}

TEST(ShiftRule, RunOrCharacterAtTheEndOfInputStopsThere) {
  pltest::TestCodeset set = stateful_set();
  pl::CharsetView view(set.entry());
  Bytes run_only = {0x0E, 0x0F, 0x0E};
  pl::StatefulChar c = pl::stateful_char(view, run_only.data(), run_only.size(), 0);
  EXPECT_EQ(c.shift.length, 3u);
  EXPECT_EQ(c.length.bytes, 0);
  EXPECT_FALSE(c.length.complete());
  Bytes cut = {0x0E, 0x45};
  c = pl::stateful_char(view, cut.data(), cut.size(), 0);
  EXPECT_EQ(c.length.rule, 2);
  EXPECT_EQ(c.length.bytes, 1);
}

}  // namespace
