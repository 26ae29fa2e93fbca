#include "bench_texts.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace plbench {
namespace {

// Whether the code set holds `unit` (it does not come back as the replacement byte).
bool held(PLLocale *locale, PLUChar unit) {
  char bytes[8];
  int32_t n = PLUnicodeToString(locale, bytes, sizeof bytes, &unit, 1, 0);
  return n > 0 && !(n == 1 && bytes[0] == '?');
}

std::vector<PLUChar> repertoire(PLLocale *locale, Script script) {
  std::vector<std::pair<PLUChar, PLUChar>> ranges;
  switch (script) {
    case Script::english:
      return {};
    case Script::western:
      ranges = {{0xC0, 0xFF}, {0x20AC, 0x20AC}, {0x201C, 0x201D}, {0x2019, 0x2019}};
      break;
    case Script::japanese:
      ranges = {{0x3041, 0x3093}, {0x30A1, 0x30F6}, {0x4E00, 0x9FA0}, {0x3001, 0x3002}};
      break;
    case Script::chinese:
      ranges = {{0x4E00, 0x9FA5}, {0x3001, 0x3002}, {0xFF0C, 0xFF0C}};
      break;
  }
  std::vector<PLUChar> units;
  for (auto [first, last] : ranges)
    for (uint32_t u = first; u <= last; ++u)
      if (held(locale, static_cast<PLUChar>(u))) units.push_back(static_cast<PLUChar>(u));
  return units;
}

}  // namespace

Text make_text(PLLocale *locale, Script script, size_t size) {
  static const char kWords[] =
      "the quick brown fox jumps over a lazy dog while conversion tables stay hot in cache ";
  std::vector<PLUChar> extra = repertoire(locale, script);
  // How often a character comes from the repertoire rather than English text.
  unsigned share = script == Script::english ? 0 : script == Script::western ? 6 : 85;
  std::mt19937 random(1234);
  Text text;
  size_t word = 0;
  while (text.bytes.size() < size) {
    std::vector<PLUChar> line;
    for (int i = 0; i < 72; ++i) {
      if (!extra.empty() && random() % 100 < share)
        line.push_back(extra[random() % extra.size()]);
      else
        line.push_back(static_cast<PLUChar>(kWords[word++ % (sizeof kWords - 1)]));
    }
    line.push_back('\n');
    char bytes[72 * 4 + 8];
    int32_t n = PLUnicodeToString(locale, bytes, sizeof bytes, line.data(),
                                  static_cast<int32_t>(line.size()), 0);
    text.bytes.append(bytes, static_cast<size_t>(n));
    text.units.insert(text.units.end(), line.begin(), line.end());
  }
  return text;
}

PLLocale *open_locale(const char *name) {
  PLLocale *locale = PLGetLocale(name, 0, nullptr);
  if (locale == nullptr) {
    std::fprintf(stderr, "no locale %s\n", name);
    std::exit(1);
  }
  return locale;
}

int run_benchmarks(int argc, char **argv, void (*register_all)()) {
  if (PLInit(POLYLOC_BENCH_LOCALEDIR, nullptr, nullptr, nullptr, 0) != PL_OK) {
    std::fprintf(stderr, "cannot load %s\n", POLYLOC_BENCH_LOCALEDIR);
    return 1;
  }
  register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PLTerm();
  return 0;
}

}  // namespace plbench
