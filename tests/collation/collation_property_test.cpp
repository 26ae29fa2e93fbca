// For every collation of the directory, random pairs of texts drawn from its
// repertoire: the four forms and the sort keys order each pair alike, with flags 0 and
// with PL_IGNORE_CASE. 10,000 pairs per collation; POLYLOC_FULL_SWEEP=1 runs 100,000.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "collation/collation_forms.h"
#include "collation/synthetic_collation.h"
#include "frame/handle.h"
#include "string/collate/collation_view.h"
#include "support/session.h"

namespace {

using namespace pltest;
using std::u16string;
namespace ct = pl::layout::collation;

// A collation as shipped collations are: forward levels, no element without a primary
// carrying only default weights, specials only as single units (with any of those,
// keys and the incremental comparison may differ by rule; collation_levels_test has those).
const char kPropertySource[] =
    "default-secondary 05\ndefault-tertiary 05\n"
    "U+002D [*0010]\nU+0020 [*0009]\nU+0030..U+0039 [0800+]\n"
    "U+0061 [1000 05 05]\nU+0041 [1000 05 06]\nU+00E1 [1000 06 05]\nU+00C1 [1000 06 06]\n"
    "U+0062 [1010 05 05]\nU+0042 [1010 05 06]\nU+0063 [1020 05 05]\nU+0043 [1020 05 06]\n"
    "U+0068 [1030 05 05]\nU+0048 [1030 05 06]\nU+0301 [0000 07 05]\n"
    "U+00E6 [1000 05 05][1040 05 05]\nU+00C6 [1000 05 06][1040 05 06]\n"
    "contraction U+0063 U+0068 [1025 05 05]\ncontraction U+0043 U+0048 [1025 05 06]\n"
    "U+4E00..U+4EFF [8000+]\n";

// The units with weights, and the units of the contractions.
struct Repertoire {
  std::vector<char16_t> all, contraction_pairs;
};

Repertoire repertoire(const pl::ControlEntry &entry) {
  pl::CollationView view(entry);
  Repertoire r;
  for (unsigned high = 0; high < 256; ++high) {
    if (high >= 0xD8 && high <= 0xDF) continue;  // surrogates have no UTF-8 form alone
    pl::CollationView::Page page = view.page(static_cast<uint8_t>(high));
    if ((page.flags & ct::kPageIgnored) != 0) continue;
    bool algorithmic = (page.flags & (ct::kPageAlgorithmicPrimary | ct::kPageAlgorithmicSpecial)) != 0;
    for (unsigned low = 0; low < 256; ++low) {
      if (high == 0 && low == 0) continue;
      pl::CollationView::Record rec = algorithmic ? pl::CollationView::Record{1, 0, 0, 0}
                                                  : view.record(page, static_cast<uint8_t>(low));
      if (rec.weight != 0 || rec.secondary != 0 || rec.tertiary != 0 || (rec.flags & ct::kRecordExpansion) != 0)
        r.all.push_back(static_cast<char16_t>(high << 8 | low));
    }
  }
  for (size_t i = 0; i < view.contraction_count(); ++i) {
    const uint8_t *c = view.contraction_entry(i);
    r.contraction_pairs.push_back(static_cast<char16_t>(pl::read_u16(c + ct::kContractionFirst)));
    r.contraction_pairs.push_back(static_cast<char16_t>(pl::read_u16(c + ct::kContractionSecond)));
  }
  return r;
}

// Texts of up to 8 units: mostly ASCII letters and contraction pairs, so that ties and
// near-ties are common, the rest anything with weights.
class TextSource {
 public:
  TextSource(const Repertoire &r, uint32_t seed) : r_(r), rng_(seed) {
    for (char16_t c : r.all)
      if (c < 0x80 && std::isalpha(c)) letters_.push_back(c);
    if (letters_.empty()) letters_ = r.all;
  }

  u16string text() {
    u16string s;
    for (size_t n = below(9); s.size() < n;) add(s, s.size());
    return s;
  }
  // `a` changed a little (case, one unit, one insertion or deletion), or a new text.
  u16string related(const u16string &a) {
    u16string b = a;
    switch (below(5)) {
      case 0: return text();
      case 1: return b;
      case 2:
        for (char16_t &c : b)
          if (c < 0x80 && std::isalpha(c) && below(2) == 0) c ^= 0x20;
        return b;
      case 3:
        if (!b.empty()) b.erase(below(b.size()), 1);
        return b;
      default: add(b, below(b.size() + 1)); return b;
    }
  }

 private:
  size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
  void add(u16string &s, size_t at) {
    size_t kind = below(10);
    if (kind < 2 && !r_.contraction_pairs.empty()) {
      size_t pair = below(r_.contraction_pairs.size() / 2) * 2;
      s.insert(at, {r_.contraction_pairs[pair], r_.contraction_pairs[pair + 1]});
    } else {
      const std::vector<char16_t> &from = kind < 7 ? letters_ : r_.all;
      s.insert(s.begin() + static_cast<long>(at), from[below(from.size())]);
    }
  }

  const Repertoire &r_;
  std::vector<char16_t> letters_;
  std::mt19937 rng_;
};

std::vector<std::string> collation_names() {
  std::vector<std::string> names;
  PLEnumLocales(
      [](void *user, int32_t kind, const char *name) {
        if (kind == PL_KIND_COLLATION) static_cast<std::vector<std::string> *>(user)->push_back(name);
        return 1;
      },
      &names);
  return names;
}

TEST(CollationProperty, FormsAndKeysOrderRandomPairsAlike) {
  SyntheticLocaleDir dir(std::vector<SyntheticCollation>{{"Property", kPropertySource}});
  Session session(dir.path());
  const char *full = std::getenv("POLYLOC_FULL_SWEEP");
  const int pairs = full != nullptr && std::string(full) == "1" ? 100000 : 10000;
  std::vector<std::string> names = collation_names();
  ASSERT_FALSE(names.empty());
  for (const std::string &name : names) {
    pl::Code code = PL_OK;
    pl::ControlEntry *entry = session.find(PL_KIND_COLLATION, name, &code);
    ASSERT_NE(entry, nullptr) << name;
    Repertoire r = repertoire(*entry);
    ASSERT_FALSE(r.all.empty()) << name;
    PLLocale *l = PLGetLocale(("English_UnitedStates.UTF-8@" + name).c_str(), 0, nullptr);
    ASSERT_NE(l, nullptr) << name;
    TextSource source(r, static_cast<uint32_t>(std::hash<std::string>()(name)));
    int failures = 0;
    for (int i = 0; i < pairs && failures < 5; ++i) {
      u16string a = source.text(), b = source.related(a);
      for (int32_t flags : {0, PL_IGNORE_CASE}) {
        int by_units = sign(collate(l, Form::units, a, b, flags));
        int by_keys = compare_keys(sort_key(l, Form::units, a, flags), sort_key(l, Form::units, b, flags));
        int by_packed = sign(collate(l, Form::packed, a, b, flags));
        int by_bytes = sign(collate(l, Form::base, a, b, flags));
        if (by_units == by_keys && by_units == by_packed && by_units == by_bytes) continue;
        ++failures;
        ADD_FAILURE() << name << " flags " << flags << ": " << hex(a) << "/ " << hex(b) << " U " << by_units
                      << " keys " << by_keys << " W " << by_packed << " bytes " << by_bytes;
      }
    }
    std::printf("%s: %d pairs\n", name.c_str(), pairs);
    EXPECT_EQ(PLReleaseLocale(l), PL_OK);
  }
}

}  // namespace
