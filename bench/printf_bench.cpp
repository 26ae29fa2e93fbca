// The printf family beside the C library, in one run; each iteration formats one value
// (or pair of values) of a fixed pseudo-random set of 4,096, into a 512-byte buffer
// with a terminator:
//  - for "%d", "%5.2f", "%e", "%s %s" and "%-10s|%08x": PLSprintf (variable
//    arguments) and PLSnprintf (an argument source) in English beside snprintf;
//  - grouped: PLSprintf "%,d" in German (grouping 3;0, separator '.') beside
//    snprintf "%'d" under glibc's de_DE.
// glibc's de_DE is compiled into the build tree on first use; without it the row that
// needs it is skipped with a message.
#include <benchmark/benchmark.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "bench_texts.h"
#include "glibc_german.h"

namespace {

constexpr size_t kValues = 4096;

struct Values {
  std::vector<int32_t> ints;
  std::vector<uint32_t> words;     // any 32-bit pattern, for %08x
  std::vector<double> doubles;     // every magnitude from 1e-10 to 1e15, both signs
  std::vector<std::string> names;  // 1 to 12 letters
};

const Values &values() {
  static const Values v = [] {
    Values out;
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int32_t> any_int(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<uint32_t> any_word;
    std::uniform_int_distribution<int> digits(1, 10), letters(1, 12), letter('a', 'z');
    std::uniform_real_distribution<double> unit(0, 1), magnitude(-10, 15);
    for (size_t i = 0; i < kValues; ++i) {
      // Integers of every length, as they occur: short ones as often as long ones.
      out.ints.push_back(static_cast<int32_t>(any_int(random) % static_cast<int64_t>(std::pow(10, digits(random)))));
      out.words.push_back(any_word(random));
      out.doubles.push_back((i % 2 ? -1 : 1) * std::pow(10, magnitude(random)) * unit(random));
      std::string name(static_cast<size_t>(letters(random)), ' ');
      for (char &c : name) c = static_cast<char>(letter(random));
      out.names.push_back(name);
    }
    return out;
  }();
  return v;
}

PLLocale *english() {
  static PLLocale *l = plbench::open_locale("English_UnitedStates.MS1252");
  return l;
}

PLLocale *german() {
  static PLLocale *l = plbench::open_locale("German_Germany.UTF-8");
  return l;
}

char out[512];

// The arguments of value i as an argument source hands them out: each function
// returns the value of its type at i; the string function returns names i and i + 1
// in turn.
struct Arguments {
  const Values &v = values();
  size_t i = 0;
  int strings = 0;

  static Arguments &of(void *context) { return *static_cast<Arguments *>(context); }
  PLArgSource source() {
    PLArgSource s{};
    s.context = this;
    s.getInt = [](void *c) { return of(c).v.ints[of(c).i]; };
    s.getUnsignedInt = [](void *c) { return of(c).v.words[of(c).i]; };
    s.getDouble = [](void *c) { return of(c).v.doubles[of(c).i]; };
    s.getString = [](void *c) {
      Arguments &a = of(c);
      return a.v.names[(a.i + static_cast<size_t>(a.strings++)) % kValues].c_str();
    };
    return s;
  }
};

// One format in three ways: PLSprintf, PLSnprintf and snprintf over the same values.
enum Format { kInt, kFixed, kExponent, kTwoStrings, kPadded };
constexpr const char *kFormats[] = {"%d", "%5.2f", "%e", "%s %s", "%-10s|%08x"};

template <Format F>
void variadic_ours(benchmark::State &state) {
  const Values &v = values();
  const char *format = kFormats[F];
  plbench::each_value(state, kValues, [&](size_t i) {
    int32_t n;
    if constexpr (F == kInt) n = PLSprintf(english(), out, sizeof out, format, -1, PL_TERMINATE, v.ints[i]);
    else if constexpr (F == kFixed || F == kExponent)
      n = PLSprintf(english(), out, sizeof out, format, -1, PL_TERMINATE, v.doubles[i]);
    else if constexpr (F == kTwoStrings)
      n = PLSprintf(english(), out, sizeof out, format, -1, PL_TERMINATE, v.names[i].c_str(),
                    v.names[(i + 1) % kValues].c_str());
    else
      n = PLSprintf(english(), out, sizeof out, format, -1, PL_TERMINATE, v.names[i].c_str(), v.words[i]);
    benchmark::DoNotOptimize(n);
  });
}

template <Format F>
void source_ours(benchmark::State &state) {
  Arguments arguments;
  PLArgSource source = arguments.source();
  const char *format = kFormats[F];
  plbench::each_value(state, kValues, [&](size_t i) {
    arguments.i = i;
    arguments.strings = 0;
    benchmark::DoNotOptimize(PLSnprintf(english(), out, sizeof out, format, -1, PL_TERMINATE, &source));
  });
}

template <Format F>
void glibc(benchmark::State &state) {
  const Values &v = values();
  const char *format = kFormats[F];
  plbench::each_value(state, kValues, [&](size_t i) {
    int n;
    if constexpr (F == kInt) n = std::snprintf(out, sizeof out, format, v.ints[i]);
    else if constexpr (F == kFixed || F == kExponent) n = std::snprintf(out, sizeof out, format, v.doubles[i]);
    else if constexpr (F == kTwoStrings)
      n = std::snprintf(out, sizeof out, format, v.names[i].c_str(), v.names[(i + 1) % kValues].c_str());
    else n = std::snprintf(out, sizeof out, format, v.names[i].c_str(), v.words[i]);
    benchmark::DoNotOptimize(n);
  });
}

void grouped_ours(benchmark::State &state) {
  const Values &v = values();
  plbench::each_value(state, kValues, [&](size_t i) {
    benchmark::DoNotOptimize(PLSprintf(german(), out, sizeof out, "%,d", -1, PL_TERMINATE, v.ints[i]));
  });
}

void grouped_glibc(benchmark::State &state) {
  if (glibc_german() == nullptr) return state.SkipWithError("no glibc de_DE");
  const Values &v = values();
  locale_t previous = uselocale(glibc_german());
  plbench::each_value(state, kValues, [&](size_t i) { benchmark::DoNotOptimize(std::snprintf(out, sizeof out, "%'d", v.ints[i])); });
  uselocale(previous);
}

template <Format F>
void register_format() {
  std::string name = kFormats[F];
  benchmark::RegisterBenchmark((name + "/polyloc PLSprintf").c_str(), variadic_ours<F>);
  benchmark::RegisterBenchmark((name + "/polyloc PLSnprintf").c_str(), source_ours<F>);
  benchmark::RegisterBenchmark((name + "/glibc snprintf").c_str(), glibc<F>);
}

void register_all() {
  register_format<kInt>();
  register_format<kFixed>();
  register_format<kExponent>();
  register_format<kTwoStrings>();
  register_format<kPadded>();
  benchmark::RegisterBenchmark("%,d de/polyloc PLSprintf", grouped_ours);
  benchmark::RegisterBenchmark("%'d de_DE/glibc snprintf", grouped_glibc);
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
