// Numbers beside the C library, in one run; each iteration handles one value of a
// fixed pseudo-random set of 4,096:
//  - long: PLLongToString in English without grouping beside snprintf("%d"), and in
//    German (grouping 3;0, separator '.') beside snprintf("%'d") under glibc's de_DE;
//  - double: PLDoubleToString with two fractional digits beside snprintf("%.2f"), for
//    amounts below a million and for values of every magnitude;
//  - currency: PLCurrencyToString beside strfmon_l("%n") under glibc's de_DE;
//  - parse: PLStringToLong and PLStringToDouble beside strtol and strtod on the texts
//    the C library writes for the same values.
// glibc's de_DE is compiled into the build tree on first use; without it the rows that
// need it are skipped with a message.
#include <benchmark/benchmark.h>
#include <monetary.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"
#include "glibc_german.h"

namespace {

constexpr size_t kValues = 4096;

struct Values {
  std::vector<int32_t> longs;
  std::vector<double> amounts;  // below a million, cents
  std::vector<double> doubles;  // every magnitude from 1e-10 to 1e15
  std::vector<std::string> long_texts, double_texts;
};

const Values &values() {
  static const Values v = [] {
    Values out;
    std::mt19937_64 random(20261206);
    std::uniform_int_distribution<int32_t> any_long(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int> digits(1, 10);
    std::uniform_real_distribution<double> unit(0, 1), magnitude(-10, 15);
    char text[64];
    for (size_t i = 0; i < kValues; ++i) {
      // Integers of every length, as they occur: short ones as often as long ones.
      int32_t n = static_cast<int32_t>(any_long(random) % static_cast<int64_t>(std::pow(10, digits(random))));
      out.longs.push_back(n);
      out.amounts.push_back(std::round(unit(random) * 1e8) / 100);
      out.doubles.push_back((i % 2 ? -1 : 1) * std::pow(10, magnitude(random)) * unit(random));
      std::snprintf(text, sizeof text, "%d", n);
      out.long_texts.push_back(text);
      std::snprintf(text, sizeof text, "%.6f", out.amounts.back());
      out.double_texts.push_back(text);
    }
    return out;
  }();
  return v;
}

// English without grouping (a first group size of 0): the same text as "%d".
PLLocale *plain() {
  static PLLocale *l = [] {
    PLLocale *english = plbench::open_locale("English_UnitedStates.MS1252");
    PLSetLocaleTextInfo(english, PL_GROUPING, "0", 1, 0);
    return english;
  }();
  return l;
}

PLLocale *german() {
  static PLLocale *l = plbench::open_locale("German_Germany.UTF-8");
  return l;
}

char out[512];

void long_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLLongToString(plain(), v.longs[i], out, sizeof out, PL_TERMINATE));
  });
}

void long_glibc(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%d", v.longs[i])); });
}

void grouped_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLLongToString(german(), v.longs[i], out, sizeof out, PL_TERMINATE));
  });
}

void grouped_glibc(benchmark::State &state) {
  if (glibc_german() == nullptr) return state.SkipWithError("no glibc de_DE");
  const Values &v = values();
  locale_t previous = uselocale(glibc_german());
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%'d", v.longs[i])); });
  uselocale(previous);
}

template <const std::vector<double> Values::*Set>
void double_ours(benchmark::State &state) {
  const std::vector<double> &set = values().*Set;
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLDoubleToString(plain(), set[i], out, sizeof out, PL_TERMINATE));
  });
}

template <const std::vector<double> Values::*Set>
void double_glibc(benchmark::State &state) {
  const std::vector<double> &set = values().*Set;
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%.2f", set[i])); });
}

void currency_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLCurrencyToString(german(), v.amounts[i], out, sizeof out, PL_TERMINATE));
  });
}

void currency_glibc(benchmark::State &state) {
  if (glibc_german() == nullptr) return state.SkipWithError("no glibc de_DE");
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(strfmon_l(out, sizeof out, glibc_german(), "%n", v.amounts[i]));
  });
}

void parse_long_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLStringToLong(plain(), v.long_texts[i].c_str(), -1, nullptr, 10, 0));
  });
}

void parse_long_glibc(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::strtol(v.long_texts[i].c_str(), nullptr, 10)); });
}

void parse_double_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLStringToDouble(plain(), v.double_texts[i].c_str(), -1, nullptr, 0));
  });
}

void parse_double_glibc(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::strtod(v.double_texts[i].c_str(), nullptr)); });
}

void register_all() {
  benchmark::RegisterBenchmark("long/polyloc", long_ours);
  benchmark::RegisterBenchmark("long/glibc %d", long_glibc);
  benchmark::RegisterBenchmark("long grouped/polyloc de", grouped_ours);
  benchmark::RegisterBenchmark("long grouped/glibc %'d de_DE", grouped_glibc);
  benchmark::RegisterBenchmark("double amounts/polyloc", double_ours<&Values::amounts>);
  benchmark::RegisterBenchmark("double amounts/glibc %.2f", double_glibc<&Values::amounts>);
  benchmark::RegisterBenchmark("double any/polyloc", double_ours<&Values::doubles>);
  benchmark::RegisterBenchmark("double any/glibc %.2f", double_glibc<&Values::doubles>);
  benchmark::RegisterBenchmark("currency/polyloc de", currency_ours);
  benchmark::RegisterBenchmark("currency/glibc strfmon de_DE", currency_glibc);
  benchmark::RegisterBenchmark("parse long/polyloc", parse_long_ours);
  benchmark::RegisterBenchmark("parse long/glibc strtol", parse_long_glibc);
  benchmark::RegisterBenchmark("parse double/polyloc", parse_double_ours);
  benchmark::RegisterBenchmark("parse double/glibc strtod", parse_double_glibc);
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
