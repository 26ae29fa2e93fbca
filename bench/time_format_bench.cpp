// PLTimeToString beside glibc's strftime_l, in one run; each iteration formats one time
// of a fixed pseudo-random set of 4,096 (years 1900..2100) into a 256-byte buffer with
// a terminator, in English (glibc's en_US) and German (glibc's de_DE), UTF-8 on the
// glibc side:
//  - "%Y-%m-%d %H:%M:%S";
//  - the locale's long date format written out as the format ("%A, %B %d, %Y",
//    "%a %#d. %b %Y"; glibc gets # as -);
//  - polyloc only: "%#x", the same format fetched from the locale and expanded.
// glibc's locales are compiled into the build tree on first use; without one the rows
// that need it are skipped with a message.
#include <benchmark/benchmark.h>

#include <clocale>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"
#include "support/glibc_locales.h"

namespace {

constexpr size_t kTimes = 4096;

const std::vector<std::tm> &times() {
  static const std::vector<std::tm> all = [] {
    std::vector<std::tm> out;
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int64_t> seconds(-2208988800, 4102444799);  // 1900..2099
    for (size_t i = 0; i < kTimes; ++i) {
      time_t t = static_cast<time_t>(seconds(random));
      std::tm broken{};
      gmtime_r(&t, &broken);
      out.push_back(broken);
    }
    return out;
  }();
  return all;
}

struct Language {
  const char *ours;   // our locale
  const char *glibc;  // glibc's
  const char *long_date, *long_date_glibc;
};

const Language kEnglish{"English_UnitedStates.MS1252", "en_US", "%A, %B %d, %Y", "%A, %B %d, %Y"};
const Language kGerman{"German_Germany.UTF-8", "de_DE", "%a %#d. %b %Y", "%a %-d. %b %Y"};

char out[256];

void ours(benchmark::State &state, const Language *language, const char *format) {
  PLLocale *h = plbench::open_locale(language->ours);
  const std::vector<std::tm> &t = times();
  plbench::each_value(state, kTimes, [&](size_t i) {
    benchmark::DoNotOptimize(PLTimeToString(h, &t[i], out, sizeof out, format, -1, PL_TERMINATE));
  });
}

void glibc(benchmark::State &state, const Language *language, const char *format) {
  static locale_t english = pltest::open_glibc_locale(kEnglish.glibc);
  static locale_t german = pltest::open_glibc_locale(kGerman.glibc);
  locale_t l = language == &kEnglish ? english : german;
  if (l == nullptr) return state.SkipWithError("glibc locale unavailable");
  const std::vector<std::tm> &t = times();
  plbench::each_value(state, kTimes, [&](size_t i) {
    benchmark::DoNotOptimize(strftime_l(out, sizeof out, format, &t[i], l));
  });
}

void register_language(const char *name, const Language *language) {
  std::string prefix = std::string(name) + " ";
  const char *iso = "%Y-%m-%d %H:%M:%S";
  benchmark::RegisterBenchmark((prefix + "iso/polyloc").c_str(), ours, language, iso);
  benchmark::RegisterBenchmark((prefix + "iso/glibc").c_str(), glibc, language, iso);
  benchmark::RegisterBenchmark((prefix + "long date/polyloc").c_str(), ours, language,
                               language->long_date);
  benchmark::RegisterBenchmark((prefix + "long date/glibc").c_str(), glibc, language,
                               language->long_date_glibc);
  benchmark::RegisterBenchmark((prefix + "%#x/polyloc").c_str(), ours, language, "%#x");
}

void register_all() {
  register_language("English", &kEnglish);
  register_language("German", &kGerman);
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
