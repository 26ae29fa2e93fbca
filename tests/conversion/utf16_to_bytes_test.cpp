// UTF-16 text to bytes: shift bytes of stateful code sets and the end rule, surrogate
// pairing elsewhere, and output that never passes the caller's capacity.
#include "charset/utf16_to_bytes.h"

#include <gtest/gtest.h>

#include <vector>

#include "charset/codeset_ids.h"
#include "charset/shift_rule.h"
#include "locale/layouts/charset_table.h"
#include "test_codeset.h"

namespace {

namespace cs = pl::layout::charset;
using Bytes = std::vector<uint8_t>;
using Units = std::vector<PLUChar>;
constexpr uint8_t kSo = 0x0E, kSi = 0x0F;

// ASCII single bytes; U+4E00 and U+4E01 are the double-byte 0x4541 and 0x4542.
pltest::TestCodeset stateful_set() {
  pltest::TestCodeset set(930);
  set.set_flags(cs::kStateful);
  set.set_max_length(2);
  set.set_shift_bytes(kSo, kSi);
  set.set_unicode_node(0x4E, 1, 0x01, 0x00, 0x01, set.add_low_words({0x4541, 0x4542}));
  return set;
}

struct Result {
  Bytes bytes;
  size_t consumed;
  PLState state;
};

// The output buffer has exactly `capacity` bytes, so a write past it faults under
// the sanitizer.
Result convert(pltest::TestCodeset &set, const Units &units, PLState state, size_t capacity = 32) {
  Bytes out(capacity);
  pl::EncodedText text =
      pl::utf16_to_bytes(set.entry(), units.data(), units.size(), state, out.data(), out.size());
  out.resize(text.written);
  return {out, text.consumed, text.state};
}

TEST(StatefulText, DoubleByteCharacterBetweenSingleBytes) {
  pltest::TestCodeset set = stateful_set();
  Result r = convert(set, {u'A', 0x4E00, u'B'}, pl::kSingleByteState);
  EXPECT_EQ(r.bytes, (Bytes{'A', kSo, 0x45, 0x41, kSi, 'B'}));
  EXPECT_EQ(r.consumed, 3u);
  EXPECT_EQ(r.state, pl::kSingleByteState);
}

TEST(StatefulText, ShiftedEndIsClosed) {
  pltest::TestCodeset set = stateful_set();
  Result r = convert(set, {0x4E00, 0x4E01}, pl::kSingleByteState);
  EXPECT_EQ(r.bytes, (Bytes{kSo, 0x45, 0x41, 0x45, 0x42, kSi}));
  EXPECT_EQ(r.state, pl::kSingleByteState);
}

TEST(StatefulText, StartingStateDecidesTheFirstShift) {
  pltest::TestCodeset set = stateful_set();
  EXPECT_EQ(convert(set, {0x4E00}, pl::kShiftedState).bytes, (Bytes{0x45, 0x41, kSi}));
  EXPECT_EQ(convert(set, {u'A'}, pl::kShiftedState).bytes, (Bytes{kSi, 'A'}));
}

TEST(StatefulText, NoUnits) {
  pltest::TestCodeset set = stateful_set();
  Result shifted = convert(set, {}, pl::kShiftedState);
  EXPECT_EQ(shifted.bytes, (Bytes{kSi}));
  EXPECT_EQ(shifted.state, pl::kSingleByteState);
  EXPECT_TRUE(convert(set, {}, pl::kSingleByteState).bytes.empty());
}

TEST(StatefulText, UnitsConvertAloneWithoutPairing) {
  pltest::TestCodeset set = stateful_set();
  EXPECT_EQ(convert(set, {0xD83D, 0xDE00}, 0).bytes, (Bytes{'?', '?'}));
}

TEST(StatefulText, FinalByteEqualToShiftOutIsRemoved) {
  // A table whose shift-out byte is also the last byte of a character.
  pltest::TestCodeset set = stateful_set();
  set.set_shift_bytes(0x42, kSi);
  EXPECT_EQ(convert(set, {0x4E01}, 0).bytes, (Bytes{0x42, 0x45}));
}

TEST(StatefulText, CharacterIsWrittenOnlyWithItsShiftAndClosingBytes) {
  pltest::TestCodeset set = stateful_set();
  Result four = convert(set, {u'A', 0x4E00}, 0, 4);
  EXPECT_EQ(four.bytes, (Bytes{'A'}));
  EXPECT_EQ(four.consumed, 1u);
  EXPECT_EQ(four.state, pl::kSingleByteState);
  Result five = convert(set, {u'A', 0x4E00}, 0, 5);
  EXPECT_EQ(five.bytes, (Bytes{'A', kSo, 0x45, 0x41, kSi}));
  Result six = convert(set, {0x4E00, 0x4E01, u'A'}, 0, 6);
  EXPECT_EQ(six.bytes, (Bytes{kSo, 0x45, 0x41, 0x45, 0x42, kSi}));
  EXPECT_EQ(six.consumed, 2u);
}

TEST(StatefulText, ShiftedStartWithLittleRoom) {
  pltest::TestCodeset set = stateful_set();
  Result none = convert(set, {}, pl::kShiftedState, 0);
  EXPECT_TRUE(none.bytes.empty());
  EXPECT_EQ(none.state, pl::kShiftedState) << "no room to close";
  Result one = convert(set, {0x4E00}, pl::kShiftedState, 1);
  EXPECT_EQ(one.bytes, (Bytes{kSi}));
  EXPECT_EQ(one.consumed, 0u);
  EXPECT_EQ(one.state, pl::kSingleByteState);
}

TEST(PlainText, SurrogatePairConvertsAsOneValue) {
  pltest::TestCodeset utf8(pl::kUtf8Codeset);
  EXPECT_EQ(convert(utf8, {0xD83D, 0xDE00}, 0).bytes, (Bytes{0xF0, 0x9F, 0x98, 0x80}));
  pltest::TestCodeset table;
  Result r = convert(table, {0xD83D, 0xDE00}, 0);
  EXPECT_EQ(r.bytes, (Bytes{'?'})) << "U+1F600 in a table-driven set";
  EXPECT_EQ(r.consumed, 2u);
}

TEST(PlainText, UnpairedHighSurrogateGivesTheReplacementByte) {
  pltest::TestCodeset utf8(pl::kUtf8Codeset);
  EXPECT_EQ(convert(utf8, {0xD83D, u'A'}, 0).bytes, (Bytes{'?', 'A'}));
  EXPECT_EQ(convert(utf8, {u'A', 0xD83D}, 0).bytes, (Bytes{'A', '?'}));
  EXPECT_EQ(convert(utf8, {0xDE00}, 0).bytes, (Bytes{0xED, 0xB8, 0x80}))
      << "a lone low surrogate converts as a unit";
}

TEST(PlainText, StopsBeforeACharacterThatDoesNotFit) {
  pltest::TestCodeset utf8(pl::kUtf8Codeset);
  Result r = convert(utf8, {u'a', 0xE9, u'b'}, 0, 2);
  EXPECT_EQ(r.bytes, (Bytes{'a'}));
  EXPECT_EQ(r.consumed, 1u);
  Result pair = convert(utf8, {0xD83D, 0xDE00}, 0, 3);
  EXPECT_TRUE(pair.bytes.empty());
  EXPECT_EQ(pair.consumed, 0u);
  EXPECT_TRUE(convert(utf8, {u'a'}, 0, 0).bytes.empty());
}

}  // namespace
