// Regular expression search beside glibc's regexec, in one run, on 1 MiB of English and
// 1 MiB of Japanese text (UTF-8 lines of about 72 characters):
//  - PLRegexecU on the UTF-16 text, and PLRegexec on the UTF-8 text in a UTF-8 locale;
//  - glibc's regexec (REG_STARTEND, one range asked) in the C locale and in en_US.UTF-8.
// Each iteration searches every line once, as grep does, and counts the lines that
// match; the newline-sensitive anchored pattern searches blocks of 16 lines instead.
// Every column must count the same matches, or the row reports an error. Throughput is
// in bytes of the UTF-8 text for every column.
//   ninja regex_bench && ./bench/regex_bench --benchmark_repetitions=3
#include <benchmark/benchmark.h>
#include <locale.h>
#include <regex.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"
#include "support/glibc_locales.h"

namespace {

constexpr size_t kTextBytes = 1u << 20;
constexpr size_t kBlockLines = 16;

PLLocale *utf8() {
  static PLLocale *l = plbench::open_locale("English_UnitedStates.UTF-8");
  return l;
}

// A text with the spans of its lines (or blocks), in UTF-8 bytes and in UTF-16 units.
struct Corpus {
  std::string bytes;
  std::vector<PLUChar> units;
  std::vector<std::pair<size_t, size_t>> byte_spans;
  std::vector<std::pair<size_t, size_t>> unit_spans;
};

// English-like lines: common words, some ending in -ing, now and then a word such as
// "bar42".
std::string english_text() {
  static const char *const kWords[] = {
      "the",     "of",      "and",   "to",      "in",     "is",      "was",     "that",
      "for",     "it",      "with",  "as",      "his",    "on",      "be",      "at",
      "by",      "had",     "not",   "are",     "but",    "from",    "or",      "have",
      "an",      "they",    "which", "one",     "you",    "were",    "her",     "all",
      "she",     "there",   "would", "their",   "we",     "him",     "been",    "has",
      "when",    "who",     "will",  "more",    "no",     "if",      "out",     "so",
      "said",    "what",    "up",    "its",     "about",  "into",    "than",    "them",
      "can",     "only",    "other", "new",     "some",   "could",   "time",    "these",
      "running", "morning", "thing", "nothing", "living", "during",  "evening", "being",
      "The",     "They",    "It",    "When",    "There",  "Reading", "Still",   "After"};
  std::mt19937 random(42);
  std::string text;
  std::string line;
  while (text.size() < kTextBytes) {
    std::string word = kWords[random() % std::size(kWords)];
    if (random() % 400 == 0) word = (random() % 2 ? "bar" : "baz") + std::to_string(random() % 100);
    if (line.size() + word.size() + 1 > 72) {
      text += line + "\n";
      line.clear();
    }
    line += line.empty() ? word : " " + word;
  }
  return text;
}

std::string japanese_text() {
  return plbench::make_text(utf8(), plbench::Script::japanese, kTextBytes).bytes;
}

Corpus corpus(const std::string &bytes, size_t lines_per_span) {
  Corpus c;
  c.bytes = bytes;
  c.units.resize(bytes.size() + 1);
  int32_t n = PLStringToUnicode(c.units.data(), static_cast<int32_t>(c.units.size()), utf8(),
                                bytes.data(), static_cast<int32_t>(bytes.size()), 0);
  c.units.resize(static_cast<size_t>(n));
  size_t byte_start = 0, unit_start = 0, lines = 0;
  size_t u = 0;
  for (size_t b = 0; b < bytes.size(); ++b) {
    if (static_cast<unsigned char>(bytes[b]) >= 0x80 && (bytes[b] & 0xC0) != 0x80)
      u += static_cast<unsigned char>(bytes[b]) >= 0xF0 ? 2 : 1;
    else if (static_cast<unsigned char>(bytes[b]) < 0x80)
      ++u;
    if (bytes[b] != '\n' || ++lines % lines_per_span != 0) continue;
    // A line span leaves its newline out; a block keeps the newlines between its lines.
    size_t keep = lines_per_span == 1 ? 0 : 1;
    c.byte_spans.emplace_back(byte_start, b + keep);
    c.unit_spans.emplace_back(unit_start, u - 1 + keep);
    byte_start = b + 1;
    unit_start = u;
  }
  return c;
}

struct Pattern {
  const char *name;
  const char *text;
  int glibc_flags;
  int32_t flags;
};

const Pattern kPatterns[] = {
    {"literal", "the", REG_EXTENDED, PL_REG_EXTENDED},
    {"[a-z]+ing", "[a-z]+ing", REG_EXTENDED, PL_REG_EXTENDED},
    {"(foo|bar|baz)[0-9]+", "(foo|bar|baz)[0-9]+", REG_EXTENDED, PL_REG_EXTENDED},
    {"icase literal", "THERE", REG_EXTENDED | REG_ICASE, PL_REG_EXTENDED | PL_REG_ICASE},
    {"newline ^anchor", "^(the|The) [a-z]+ing", REG_EXTENDED | REG_NEWLINE,
     PL_REG_EXTENDED | PL_REG_NEWLINE},
};

struct Case {
  const Pattern *pattern;
  const Corpus *corpus;
};

// The match count of the first column to run, which every other column must equal.
std::vector<long> expected_counts(std::size(kPatterns) * 2, -1);

void check_count(benchmark::State &state, size_t index, long count) {
  long &expected = expected_counts[index];
  if (expected < 0) expected = count;
  if (count != expected)
    state.SkipWithError(("match count " + std::to_string(count) + " against " +
                         std::to_string(expected)).c_str());
  state.counters["matches"] = static_cast<double>(count);
}

template <class Search>
void run(benchmark::State &state, const Case &c, size_t index, Search search) {
  long count = 0;
  for (auto _ : state) {
    count = 0;
    for (size_t i = 0; i < c.corpus->byte_spans.size(); ++i) count += search(i);
    benchmark::DoNotOptimize(count);
  }
  check_count(state, index, count);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(c.corpus->bytes.size()));
}

void polyloc_units(benchmark::State &state, Case c, size_t index) {
  PLRegex *re = PLRegcomp(utf8(), c.pattern->text, -1, c.pattern->flags);
  if (re == nullptr) return state.SkipWithError("PLRegcomp failed");
  const PLUChar *units = c.corpus->units.data();
  run(state, c, index, [&](size_t i) {
    auto [start, end] = c.corpus->unit_spans[i];
    return PLRegexecU(utf8(), re, units + start, static_cast<int32_t>(end - start), units + start,
                      0) == 1;
  });
  PLRegfree(utf8(), re);
}

void polyloc_bytes(benchmark::State &state, Case c, size_t index) {
  PLRegex *re = PLRegcomp(utf8(), c.pattern->text, -1, c.pattern->flags);
  if (re == nullptr) return state.SkipWithError("PLRegcomp failed");
  const char *bytes = c.corpus->bytes.data();
  run(state, c, index, [&](size_t i) {
    auto [start, end] = c.corpus->byte_spans[i];
    return PLRegexec(utf8(), re, bytes + start, static_cast<int32_t>(end - start), bytes + start,
                     0) == 1;
  });
  PLRegfree(utf8(), re);
}

void glibc(benchmark::State &state, Case c, size_t index, const char *locale_name) {
  locale_t l = std::string(locale_name) == "C" ? newlocale(LC_ALL_MASK, "C", nullptr)
                                               : pltest::open_glibc_locale(locale_name);
  if (l == nullptr) return state.SkipWithError("no glibc locale");
  locale_t previous = uselocale(l);
  regex_t re;
  if (regcomp(&re, c.pattern->text, c.pattern->glibc_flags) != 0) {
    uselocale(previous);
    freelocale(l);
    return state.SkipWithError("regcomp failed");
  }
  const char *bytes = c.corpus->bytes.data();
  run(state, c, index, [&](size_t i) {
    regmatch_t range[1];
    range[0].rm_so = static_cast<regoff_t>(c.corpus->byte_spans[i].first);
    range[0].rm_eo = static_cast<regoff_t>(c.corpus->byte_spans[i].second);
    return regexec(&re, bytes, 1, range, REG_STARTEND) == 0;
  });
  regfree(&re);
  uselocale(previous);
  freelocale(l);
}

void register_all() {
  static const std::string english = english_text();
  static const std::string japanese = japanese_text();
  static const Corpus texts[][2] = {{corpus(english, 1), corpus(english, kBlockLines)},
                                    {corpus(japanese, 1), corpus(japanese, kBlockLines)}};
  static const char *const kTextNames[] = {"English", "Japanese"};
  for (size_t t = 0; t < 2; ++t) {
    for (size_t p = 0; p < std::size(kPatterns); ++p) {
      const Pattern &pattern = kPatterns[p];
      bool blocks = (pattern.flags & PL_REG_NEWLINE) != 0;
      Case c{&pattern, &texts[t][blocks ? 1 : 0]};
      size_t index = t * std::size(kPatterns) + p;
      std::string name = std::string(kTextNames[t]) + "/" + pattern.name;
      benchmark::RegisterBenchmark((name + "/PLRegexecU").c_str(), polyloc_units, c, index);
      benchmark::RegisterBenchmark((name + "/PLRegexec UTF-8").c_str(), polyloc_bytes, c, index);
      benchmark::RegisterBenchmark((name + "/glibc regexec C").c_str(), glibc, c, index, "C");
      benchmark::RegisterBenchmark((name + "/glibc regexec en_US.UTF-8").c_str(), glibc, c, index,
                                   "en_US");
    }
  }
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
