// Collation beside glibc and ICU, on the generated word lists of the ICU agreement test
// (English, German, Japanese; UTF-8 locales, and MS1252 for English and German):
//  - compare: one comparison per iteration, cycling over the neighbours of ICU's
//    tertiary order among the first 20,000 words (pairs that share a prefix, the
//    comparisons that decide a sort's final order). PLStrcoll on the code set's bytes
//    beside glibc's strcoll_l in the same code set, ICU's ucol_strcoll on UTF-16 and
//    ucol_strcollUTF8; PLStrcollU beside ucol_strcoll on the same UTF-16;
//  - key: one sort key per iteration into a 4 KiB buffer, PLStrxfrm beside strxfrm_l
//    and ucol_getSortKey; the counter is the average key length per UTF-16 unit;
//  - sort: qsort of 100,000 words with each comparator, and the same words sorted by
//    precomputed keys (all keys built, then qsort over memcmp; the key building is
//    timed too).
// glibc's locales are compiled with localedef into the build tree on first use; a
// peer whose locale cannot be built is skipped with a message. Words that a code set
// cannot hold do not occur: the lists for English and German stay within MS1252.
#include <benchmark/benchmark.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "support/glibc_locales.h"
#include "polyloc.h"
#include "word_lists.h"

namespace {

constexpr size_t kPairWords = 20000;
constexpr size_t kSortWords = 100000;
constexpr int32_t kKeyBuffer = 4096;

struct Case {
  const char *label;
  const char *language;     // a language of plcoll::languages()
  const char *ours;         // our locale name
  const char *glibc_input;  // localedef -i
  const char *glibc_charmap;  // localedef -f
  bool utf8;                // the code set is UTF-8: the ICU rows apply
};

constexpr Case kCases[] = {
    {"en/UTF-8", "English", "English_UnitedStates.UTF-8", "en_US", "UTF-8", true},
    {"de/UTF-8", "German", "German_Germany.UTF-8", "de_DE", "UTF-8", true},
    {"ja/UTF-8", "Japanese", "Japanese_Japan.UTF-8", "ja_JP", "UTF-8", true},
    {"en/MS1252", "English", "English_UnitedStates.MS1252", "en_US", "CP1252", false},
    {"de/MS1252", "German", "German_Germany.MS1252", "de_DE", "CP1252", false},
};

struct Loaded {
  PLLocale *ours = nullptr;
  locale_t glibc = nullptr;
  UCollator *icu = nullptr;
  std::vector<std::u16string> words;  // kSortWords of them
  std::vector<std::string> bytes;     // the words in the case's code set
  std::vector<std::string> utf8;
  std::vector<std::pair<size_t, size_t>> pairs;  // neighbours in ICU's order
  size_t units = 0;                              // UTF-16 units of the first kPairWords
};

std::string to_code_set(PLLocale *locale, const std::u16string &word) {
  std::string out(word.size() * 4 + 4, '\0');
  int32_t n = PLUnicodeToString(locale, out.data(), static_cast<int32_t>(out.size()),
                                reinterpret_cast<const PLUChar *>(word.data()),
                                static_cast<int32_t>(word.size()), 0);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::string to_utf8(const std::u16string &word) {
  std::string out(word.size() * 3, '\0');
  int32_t n = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &n, word.data(),
              static_cast<int32_t>(word.size()), &status);
  out.resize(U_SUCCESS(status) ? static_cast<size_t>(n) : 0);
  return out;
}

Loaded &loaded(size_t i) {
  static std::vector<std::unique_ptr<Loaded>> all(std::size(kCases));
  const Case &c = kCases[i];
  if (all[i]) return *all[i];
  auto l = std::make_unique<Loaded>();
  int32_t error = 0;
  l->ours = PLGetLocale(c.ours, 0, &error);
  if (l->ours == nullptr) {
    std::fprintf(stderr, "no locale %s (%d)\n", c.ours, error);
    std::exit(1);
  }
  l->glibc = pltest::open_glibc_locale(c.glibc_input, c.glibc_charmap);
  if (l->glibc == nullptr)
    std::fprintf(stderr, "glibc locale %s.%s unavailable\n", c.glibc_input, c.glibc_charmap);
  UErrorCode status = U_ZERO_ERROR;
  l->icu = ucol_open(plcoll::find_language(c.language)->icu_locale, &status);
  l->words = plcoll::make_word_list(c.language, kSortWords);
  for (const std::u16string &w : l->words) {
    l->bytes.push_back(to_code_set(l->ours, w));
    l->utf8.push_back(to_utf8(w));
  }
  std::vector<size_t> order(kPairWords);
  for (size_t k = 0; k < kPairWords; ++k) {
    order[k] = k;
    l->units += l->words[k].size();
  }
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return ucol_strcoll(l->icu, l->words[a].c_str(), -1, l->words[b].c_str(), -1) == UCOL_LESS;
  });
  for (size_t k = 1; k < order.size(); ++k) l->pairs.emplace_back(order[k - 1], order[k]);
  all[i] = std::move(l);
  return *all[i];
}

// Which implementation a row times.
enum class Who { polyloc, polyloc_u16, glibc, icu, icu_utf8 };

const char *row_name(Who who) {
  switch (who) {
    case Who::polyloc: return "polyloc";
    case Who::polyloc_u16: return "polyloc-u16";
    case Who::glibc: return "glibc";
    case Who::icu: return "icu";
    case Who::icu_utf8: return "icu-utf8";
  }
  return "";
}

// The comparison of `who` over words i and j.
int compare(const Loaded &l, Who who, size_t i, size_t j) {
  switch (who) {
    case Who::polyloc:
      return PLStrcoll(l.ours, l.bytes[i].c_str(), -1, l.bytes[j].c_str(), -1, 0);
    case Who::polyloc_u16:
      return PLStrcollU(l.ours, reinterpret_cast<const PLUChar *>(l.words[i].c_str()), -1,
                        reinterpret_cast<const PLUChar *>(l.words[j].c_str()), -1, 0);
    case Who::glibc:
      return strcoll_l(l.bytes[i].c_str(), l.bytes[j].c_str(), l.glibc);
    case Who::icu:
      return ucol_strcoll(l.icu, l.words[i].c_str(), -1, l.words[j].c_str(), -1);
    case Who::icu_utf8: {
      UErrorCode status = U_ZERO_ERROR;
      return ucol_strcollUTF8(l.icu, l.utf8[i].c_str(), -1, l.utf8[j].c_str(), -1, &status);
    }
  }
  return 0;
}

// The sort key of word i by `who` into buffer; its length in bytes.
size_t key(const Loaded &l, Who who, size_t i, char *buffer) {
  switch (who) {
    case Who::polyloc:
    case Who::polyloc_u16: {
      int32_t n = PLStrxfrm(l.ours, buffer, kKeyBuffer, l.bytes[i].c_str(), -1, 0);
      return n > 0 ? static_cast<size_t>(n) : 0;
    }
    case Who::glibc:
      return strxfrm_l(buffer, l.bytes[i].c_str(), kKeyBuffer, l.glibc);
    case Who::icu:
    case Who::icu_utf8:
      return static_cast<size_t>(ucol_getSortKey(l.icu, l.words[i].c_str(), -1,
                                                 reinterpret_cast<uint8_t *>(buffer), kKeyBuffer));
  }
  return 0;
}

bool available(benchmark::State &state, const Loaded &l, Who who) {
  if (who != Who::glibc || l.glibc != nullptr) return true;
  state.SkipWithError("no glibc locale");
  return false;
}

void compare_case(benchmark::State &state, size_t c, Who who) {
  const Loaded &l = loaded(c);
  if (!available(state, l, who)) return;
  size_t at = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(compare(l, who, l.pairs[at].first, l.pairs[at].second));
    if (++at == l.pairs.size()) at = 0;
  }
}

void key_case(benchmark::State &state, size_t c, Who who) {
  const Loaded &l = loaded(c);
  if (!available(state, l, who)) return;
  std::vector<char> buffer(kKeyBuffer);
  size_t total = 0;
  for (size_t i = 0; i < kPairWords; ++i) total += key(l, who, i, buffer.data());
  size_t at = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(key(l, who, at, buffer.data()));
    benchmark::ClobberMemory();
    if (++at == kPairWords) at = 0;
  }
  state.counters["key_bytes_per_unit"] = static_cast<double>(total) / static_cast<double>(l.units);
}

// qsort has no context argument: the row's words and implementation live here.
const Loaded *sorting = nullptr;
Who sorting_who = Who::polyloc;

int by_collation(const void *a, const void *b) {
  return compare(*sorting, sorting_who, *static_cast<const size_t *>(a),
                 *static_cast<const size_t *>(b));
}

int by_key(const void *a, const void *b) {
  const std::string &x = **static_cast<const std::string *const *>(a);
  const std::string &y = **static_cast<const std::string *const *>(b);
  int c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
  return c != 0 ? c : (x.size() > y.size()) - (x.size() < y.size());
}

void sort_case(benchmark::State &state, size_t c, Who who) {
  const Loaded &l = loaded(c);
  if (!available(state, l, who)) return;
  sorting = &l;
  sorting_who = who;
  std::vector<size_t> order(kSortWords);
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t i = 0; i < kSortWords; ++i) order[i] = i;
    state.ResumeTiming();
    std::qsort(order.data(), order.size(), sizeof order[0], by_collation);
  }
}

void key_sort_case(benchmark::State &state, size_t c, Who who) {
  const Loaded &l = loaded(c);
  if (!available(state, l, who)) return;
  std::vector<char> buffer(kKeyBuffer);
  std::vector<std::string> keys(kSortWords);
  std::vector<const std::string *> order(kSortWords);
  for (auto _ : state) {
    for (size_t i = 0; i < kSortWords; ++i) {
      keys[i].assign(buffer.data(), key(l, who, i, buffer.data()));
      order[i] = &keys[i];
    }
    std::qsort(order.data(), order.size(), sizeof order[0], by_key);
  }
}

void register_all() {
  for (size_t c = 0; c < std::size(kCases); ++c) {
    const Case &k = kCases[c];
    std::vector<Who> comparers = {Who::polyloc, Who::glibc};
    std::vector<Who> keyers = {Who::polyloc, Who::glibc};
    if (k.utf8) {
      comparers.insert(comparers.end(), {Who::icu, Who::icu_utf8, Who::polyloc_u16});
      keyers.push_back(Who::icu);
    }
    std::string label = k.label;
    for (Who who : comparers)
      benchmark::RegisterBenchmark(("compare/" + label + "/" + row_name(who)).c_str(),
                                   compare_case, c, who);
    for (Who who : keyers)
      benchmark::RegisterBenchmark(("key/" + label + "/" + row_name(who)).c_str(), key_case, c,
                                   who);
    for (Who who : comparers) {
      if (who == Who::polyloc_u16) continue;
      benchmark::RegisterBenchmark(("sort/" + label + "/" + row_name(who)).c_str(), sort_case, c,
                                   who)
          ->Unit(benchmark::kMillisecond);
    }
    for (Who who : keyers)
      benchmark::RegisterBenchmark(("keysort/" + label + "/" + row_name(who)).c_str(),
                                   key_sort_case, c, who)
          ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
