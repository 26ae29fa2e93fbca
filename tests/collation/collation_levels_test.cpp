// The level rules on collations written for the purpose (test_collations.h), run with
// the compiler's lookup hints trusted and with them ignored (linear searches): sort keys
// byte for byte, the incremental comparison's results, the regular-expression services.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "collation/collation_forms.h"
#include "collation/test_collations.h"
#include "frame/handle.h"
#include "string/collate/collation_services.h"
#include "support/session.h"

namespace {

using namespace pltest;
using std::u16string;

class CollationLevelRules : public ::testing::TestWithParam<bool> {
 protected:
  static void SetUpTestSuite() { dir_ = std::make_unique<SyntheticLocaleDir>(test_collations()); }
  static void TearDownTestSuite() { dir_.reset(); }

  void SetUp() override {
    for (const char *name : {"Test", "TestB", "TestP"}) {
      pl::Code code = PL_OK;
      pl::ControlEntry *entry = session_.find(PL_KIND_COLLATION, name, &code);
      ASSERT_NE(entry, nullptr) << name;
      EXPECT_NE(entry->state & pl::kStateCollationHints, 0) << "the compiler's hints hold";
      if (!GetParam()) entry->state &= static_cast<uint8_t>(~pl::kStateCollationHints);
    }
  }
  void TearDown() override {
    for (PLLocale *l : opened_) EXPECT_EQ(PLReleaseLocale(l), PL_OK);
  }

  PLLocale *open(const std::string &collation) {
    std::string name = "English_UnitedStates.UTF-8@" + collation;
    int32_t error = 0;
    PLLocale *l = PLGetLocale(name.c_str(), 0, &error);
    EXPECT_EQ(error, PL_OK) << name;
    opened_.push_back(l);
    return l;
  }

  static inline std::unique_ptr<SyntheticLocaleDir> dir_;
  Session session_{dir_->path()};
  std::vector<PLLocale *> opened_;
};

// Key = primaries (big-endian), 00, secondaries, 00, tertiaries, 00, then (position,
// special weight) pairs; trailing default (05) secondaries and tertiaries dropped.
struct KeyCase {
  const char *collation;
  u16string text;
  const char *key;
};
const KeyCase kKeys[] = {
    {"Test", u"ab", "1000 1010 00 00 00"},
    {"Test", u"Ab", "1000 1010 00 00 06 00"},
    {"Test", u"\u00E9", "1040 00 06 00 00"},
    {"Test", u"e\u0301", "1040 00 05 06 00 00"},
    {"Test", u"a\u0300", "1000 00 00 00"},                          // defaults only: dropped
    {"Test", u"a-b", "1000 1010 00 00 00 0002 0010"},               // position of the special
    {"Test", u"-", "00 00 00 0010"},                                // no other level: no position
    {"Test", u"\u2000-", "00 00 00 0010"},
    {"Test", u"a''", "1000 00 00 00 0003 0030"},                    // a special contraction
    {"Test", u"''", "00 00 00 0030"},
    {"Test", u"ch", "1025 00 00 00"},
    {"Test", u"ac", "1000 1020 00 00 00"},                          // contraction start last
    {"Test", u"ach", "1000 1025 00 00 00"},
    {"Test", u"ch-", "1025 00 00 00 0003 0010"},
    {"Test", u"c\u2000h", "1020 1070 00 00 00"},                     // the pair is c, U+2000
    {"Test", u"\u00C6", "1000 1040 00 00 06 06 00"},                // expansion, last unit
    {"Test", u"a\u00C6", "1000 1000 1040 00 00 05 06 06 00"},
    {"Test", u"\u00C6-", "1000 1040 00 00 06 06 00 0002 0010"},
    {"Test", u"\u2000a\u20FF", "1000 00 00 00"},                    // an ignored page
    {"Test", u"\u00DF", "00 00 00"},                                // a unit without weights
    {"Test", u"\u4E00\u4E05", "8000 8005 00 00 00"},                // algorithmic primaries
    {"Test", u"a\u4E00", "1000 8000 00 00 00"},
    {"Test", u"\uE001", "00 00 00 0101"},                           // algorithmic special
    {"Test", u"a\uE001\uE0FF", "1000 00 00 00 0002 0101 0003 01FF"},
    {"Test", u"\uFF21", "1000 00 00 07 00"},
    {"TestB", u"\u00E9e", "1040 1040 00 05 06 00 00"},              // backward: reversed
    {"TestB", u"e\u00E9", "1040 1040 00 06 00 00"},
    {"TestB", u"e\u00E9x\u00E9e", "1040 1040 1170 1040 1040 00 06 05 05 05 06 00 00"},
    {"TestP", u"ab", "1010 1000 00 00 00"},
    {"TestP", u"ab-", "1010 1000 00 00 00 0003 0010"},
};

TEST_P(CollationLevelRules, SortKeysByteForByte) {
  for (const KeyCase &c : kKeys) {
    PLLocale *l = open(c.collation);
    for (Form form : kForms)
      EXPECT_EQ(hex(sort_key(l, form, c.text, 0)), hex(hex_bytes(c.key)))
          << c.collation << " " << hex(c.text) << " form " << static_cast<int>(form);
  }
}

// The incremental comparison (flags 0) and the key comparison (as PL_IGNORE_CASE
// collation also gives, the texts being lower case) of the same pair.
struct PairCase {
  const char *collation;
  u16string a, b;
  int32_t collated;  // exact
  int by_keys;
};
const PairCase kPairs[] = {
    {"Test", u"a", u"b", 0x1000 - 0x1010, -1},  // fast mode: the primary difference
    {"Test", u"ch", u"cz", 0x1025 - 0x1020, 1},  // the contraction against c
    {"Test", u"ab", u"a", 1, 1},
    {"Test", u"a-", u"ab", -1, -1},
    {"Test", u"a\u00E6", u"a", 1, 1},
    {"Test", u"a\u2000b", u"ab", 0, 0},
    {"Test", u"\u00E6", u"ae", 0, 0},
    {"Test", u"a-b", u"ab-", -1, -1},
    {"Test", u"a-b", u"ab", 1, 1},
    {"Test", u"e\u0301", u"\u00E9", -1, -1},
    // Keys drop trailing default weights and, without other levels, positions; the
    // incremental comparison keeps both.
    {"Test", u"a", u"a\u0300", -1, 0},
    {"Test", u"\u2000-", u"'", 1, -1},
    {"Test", u"''", u"\uE000", 1, -1},
    {"Test", u"''", u"'-", 1, 1},
    // A common prefix takes part: reversed, it follows the rest of a backward level.
    {"TestB", u"\u00E9e", u"e\u00E9", -1, -1},
    {"TestB", u"\u00E9", u"\u00E9\u0300", 1, 1},
    {"TestP", u"ba", u"b", -1, -1},
    // Backward primaries end fast mode at once; the primary levels then compare over
    // the shorter length only.
    {"TestP", u"ba", u"ab", -1, -1},
    {"TestP", u"ab", u"b", 1, 1},
    {"TestP", u"ab", u"b\u0301", -1, 1},
};

TEST_P(CollationLevelRules, IncrementalComparisonAgainstKeys) {
  for (const PairCase &c : kPairs) {
    PLLocale *l = open(c.collation);
    std::string what = std::string(c.collation) + " " + hex(c.a) + "/ " + hex(c.b);
    for (Form form : kForms) {
      EXPECT_EQ(collate(l, form, c.a, c.b, 0), c.collated) << what;
      EXPECT_EQ(collate(l, form, c.b, c.a, 0), -c.collated) << what << " reversed";
      EXPECT_EQ(compare_keys(sort_key(l, form, c.a, 0), sort_key(l, form, c.b, 0)), c.by_keys) << what;
      EXPECT_EQ(sign(collate(l, form, c.a, c.b, PL_IGNORE_CASE)), c.by_keys) << what;
    }
  }
}

TEST_P(CollationLevelRules, RegularExpressionServices) {
  PLLocale *test = open("Test"), *binary = open("Binary");
  ASSERT_NE(test->collation, nullptr);
  ASSERT_EQ(binary->collation, nullptr);
  using Triple = std::array<uint16_t, 3>;
  std::vector<Triple> triples(8);
  auto as_out = [&] { return reinterpret_cast<pl::UnitTriple *>(triples.data()); };
  ASSERT_EQ(pl::collation_contraction_count(test->collation), 3u);
  EXPECT_EQ(pl::list_collation_contractions(*test->collation, as_out()), 3u);
  EXPECT_EQ(std::vector<Triple>(triples.begin(), triples.begin() + 3),
            (std::vector<Triple>{{0x27, 0x27, 0}, {0x43, 0x48, 0}, {0x63, 0x68, 0}}));

  struct Case {
    pl::ControlEntry *collation;
    uint16_t first, second;
    std::vector<uint16_t> units;
    std::vector<Triple> contractions;
  };
  std::vector<uint16_t> specials = {0x27, 0x2D};
  for (unsigned u = 0xE000; u <= 0xE0FF; ++u) specials.push_back(static_cast<uint16_t>(u));
  const Case cases[] = {
      {test->collation, 'a', 0, {0x41, 0x61, 0xFF21, 0xFF41}, {}},
      {test->collation, 0xFF43, 0, {0x43, 0x63, 0xFF23, 0xFF43}, {}},
      {test->collation, 'c', 'h', {}, {{0x43, 0x48, 0}, {0x63, 0x68, 0}}},
      {test->collation, 0xC6, 0, {0xC6, 0xE6}, {}},      // an expansion: the same two primaries
      {test->collation, '-', 0, specials, {{0x27, 0x27, 0}}},
      {test->collation, 0x4E05, 0, {0x4E05}, {}},
      {test->collation, 'a', 'b', {}, {}},                // not a contraction
      {binary->collation, 'a', 0, {'a'}, {}},
      {binary->collation, 'c', 'h', {}, {}},
  };
  std::vector<uint16_t> units(65536);
  for (const Case &c : cases) {
    size_t triple_count = 99;
    std::fill(triples.begin(), triples.end(), Triple{});
    size_t n = pl::list_collation_equivalents(c.collation, c.first, c.second, units.data(),
                                              &triple_count, as_out());
    EXPECT_EQ(std::vector<uint16_t>(units.begin(), units.begin() + static_cast<long>(n)), c.units)
        << std::hex << c.first << " " << c.second;
    ASSERT_EQ(triple_count, c.contractions.size()) << std::hex << c.first << " " << c.second;
    EXPECT_EQ(std::vector<Triple>(triples.begin(), triples.begin() + static_cast<long>(triple_count)),
              c.contractions);
  }
}

INSTANTIATE_TEST_SUITE_P(Hints, CollationLevelRules, ::testing::Bool(),
                         [](const auto &info) { return info.param ? "Trusted" : "Ignored"; });

}  // namespace
