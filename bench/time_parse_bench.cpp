// PLStringToTime beside glibc's strptime (under uselocale), in one run; each iteration
// parses one text of a fixed pseudo-random set of 4,096 times written by strftime_l:
//  - "%Y-%m-%d %H:%M:%S" in English;
//  - the locale's long date format: English "%A, %B %d, %Y", German "%a %#d. %b %Y"
//    (glibc reads the same text with "%a %d. %b %Y").
// PLStringToTime ends with mktime, which strptime does not call: the "strptime + mktime"
// row is what a caller of glibc does for the same result, and the mktime row times
// mktime alone over the parsed fields, the share of our time it takes.
// glibc's en_US and de_DE are compiled into the build tree on first use; without them
// the rows that need them are skipped with a message.
#include <benchmark/benchmark.h>

#include <locale.h>
#include <time.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"
#include "support/glibc_locales.h"

namespace {

constexpr size_t kValues = 4096;

struct Case {
  const char *name;
  const char *locale;        // ours
  const char *glibc_locale;  // glibc's peer
  const char *writer;        // the strftime format of the texts
  const char *ours;          // our format
  const char *theirs;        // strptime's format
};

constexpr Case kCases[] = {
    {"numeric en", "English_UnitedStates.MS1252", "en_US", "%Y-%m-%d %H:%M:%S",
     "%Y-%m-%d %H:%M:%S", "%Y-%m-%d %H:%M:%S"},
    {"long date en", "English_UnitedStates.MS1252", "en_US", "%A, %B %d, %Y", "%A, %B %d, %Y",
     "%A, %B %d, %Y"},
    {"long date de", "German_Germany.UTF-8", "de_DE", "%a %-d. %b %Y", "%a %#d. %b %Y",
     "%a %d. %b %Y"},
};

locale_t glibc_locale(const Case &c) {
  locale_t l = pltest::open_glibc_locale(c.glibc_locale);
  if (l == nullptr) std::fprintf(stderr, "glibc locale %s unavailable\n", c.glibc_locale);
  return l;
}

// The texts of case `c`: random times from 1901 to 2099 written by glibc in its locale.
const std::vector<std::string> &texts(const Case &c, locale_t l) {
  static std::vector<std::string> made[std::size(kCases)];
  std::vector<std::string> &out = made[&c - kCases];
  if (!out.empty()) return out;
  std::mt19937_64 random(20261206);
  std::uniform_int_distribution<long> seconds(-2145916800L, 4102444799L);
  for (size_t i = 0; i < kValues; ++i) {
    time_t when = static_cast<time_t>(seconds(random));
    struct tm fields;
    gmtime_r(&when, &fields);
    char text[128];
    out.emplace_back(text, strftime_l(text, sizeof text, c.writer, &fields, l));
  }
  return out;
}

void ours(benchmark::State &state, const Case *cp) {
  const Case &c = *cp;
  locale_t l = glibc_locale(c);
  if (l == nullptr) return state.SkipWithError("no glibc peer to write the texts");
  PLLocale *locale = plbench::open_locale(c.locale);
  const std::vector<std::string> &t = texts(c, l);
  struct tm fields;
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLStringToTime(locale, &fields, t[i].data(),
                                            static_cast<int32_t>(t[i].size()), c.ours, -1, 0));
  });
}

// strptime, then (`normalize`) mktime as PLStringToTime applies it.
void theirs(benchmark::State &state, const Case *cp, bool normalize) {
  const Case &c = *cp;
  locale_t l = glibc_locale(c);
  if (l == nullptr) return state.SkipWithError("no glibc locale");
  const std::vector<std::string> &t = texts(c, l);
  locale_t previous = uselocale(l);
  struct tm fields;
  plbench::each_value(state, kValues, [&](size_t i) {
    fields = tm{};
    benchmark::DoNotOptimize(strptime(t[i].c_str(), c.theirs, &fields));
    if (normalize) {
      fields.tm_isdst = -1;
      benchmark::DoNotOptimize(mktime(&fields));
    }
  });
  uselocale(previous);
}

// mktime over the fields PLStringToTime hands it: its share of our time.
void normalization(benchmark::State &state, const Case *cp) {
  const Case &c = *cp;
  locale_t l = glibc_locale(c);
  if (l == nullptr) return state.SkipWithError("no glibc peer to write the texts");
  PLLocale *locale = plbench::open_locale(c.locale);
  std::vector<struct tm> parsed;
  for (const std::string &text : texts(c, l)) {
    struct tm fields;
    PLStringToTime(locale, &fields, text.data(), static_cast<int32_t>(text.size()), c.ours, -1, 0);
    parsed.push_back(fields);
  }
  plbench::each_value(state, kValues, [&](size_t i) {
    struct tm fields = parsed[i];
    benchmark::DoNotOptimize(mktime(&fields));
  });
}

void register_all() {
  // A fixed zone: every row normalizes alike, whatever the machine's local time.
  setenv("TZ", "UTC0", 1);
  tzset();
  for (const Case &c : kCases) {
    std::string name = c.name;
    benchmark::RegisterBenchmark((name + "/polyloc PLStringToTime").c_str(), ours, &c);
    benchmark::RegisterBenchmark((name + "/glibc strptime").c_str(), theirs, &c, false);
    benchmark::RegisterBenchmark((name + "/glibc strptime + mktime").c_str(), theirs, &c, true);
    benchmark::RegisterBenchmark((name + "/mktime alone").c_str(), normalization, &c);
  }
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
