// PLStringToUnicode and PLUnicodeToString beside glibc iconv and ICU's
// ucnv_toUChars / ucnv_fromUChars on 4 MiB of generated text per code set, and
// PLConvertBuffer beside iconv from MS932 to UTF-8. Throughput counts input bytes.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"

namespace {

using plbench::Script;
using plbench::Text;

constexpr size_t kTextSize = 4 << 20;

struct Case {
  const char *label;   // benchmark name part
  const char *locale;  // our locale name
  const char *iconv;   // glibc name
  const char *icu;     // ICU name
  Script script;
};

constexpr Case kCases[] = {
    {"MS932", ".MS932", "CP932", "windows-31j", Script::japanese},
    {"MS1252", ".MS1252", "CP1252", "windows-1252", Script::western},
    {"GB18030", ".GB18030", "GB18030", "gb18030", Script::chinese},
    {"UTF-8-English", ".UTF-8", "UTF-8", "UTF-8", Script::english},
    {"UTF-8-Japanese", ".UTF-8", "UTF-8", "UTF-8", Script::japanese},
};

struct Loaded {
  PLLocale *locale;
  Text text;
};

// The case's locale and text, made on first use.
Loaded &loaded(size_t i) {
  static std::vector<std::unique_ptr<Loaded>> all(std::size(kCases));
  const Case &c = kCases[i];
  if (!all[i]) {
    int32_t error = 0;
    PLLocale *locale = PLGetLocale(c.locale, 0, &error);
    if (locale == nullptr) {
      std::fprintf(stderr, "no locale %s (%d)\n", c.locale, error);
      std::exit(1);
    }
    all[i] = std::make_unique<Loaded>(Loaded{locale, plbench::make_text(locale, c.script, kTextSize)});
  }
  return *all[i];
}

int32_t size_of(size_t n) { return static_cast<int32_t>(n); }

void to_unicode_polyloc(benchmark::State &state, size_t i) {
  Loaded &l = loaded(i);
  std::vector<PLUChar> out(l.text.bytes.size() + 1);
  for (auto _ : state) {
    int32_t n = PLStringToUnicode(out.data(), size_of(out.size()), l.locale, l.text.bytes.data(),
                                  size_of(l.text.bytes.size()), 0);
    benchmark::DoNotOptimize(n);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.bytes.size()));
}

void to_unicode_iconv(benchmark::State &state, size_t i) {
  const Case &c = kCases[i];
  Loaded &l = loaded(i);
  iconv_t cd = iconv_open("UTF-16LE", c.iconv);
  std::vector<char> out(l.text.bytes.size() * 2 + 2);
  for (auto _ : state) {
    char *in = l.text.bytes.data();
    size_t in_left = l.text.bytes.size(), out_left = out.size();
    char *at = out.data();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(iconv(cd, &in, &in_left, &at, &out_left));
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.bytes.size()));
}

void to_unicode_icu(benchmark::State &state, size_t i) {
  const Case &c = kCases[i];
  Loaded &l = loaded(i);
  UErrorCode error = U_ZERO_ERROR;
  UConverter *converter = ucnv_open(c.icu, &error);
  std::vector<UChar> out(l.text.bytes.size() + 1);
  for (auto _ : state) {
    error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_toUChars(converter, out.data(), size_of(out.size()),
                                           l.text.bytes.data(), size_of(l.text.bytes.size()),
                                           &error));
  }
  ucnv_close(converter);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.bytes.size()));
}

int64_t unit_bytes(const Loaded &l) { return static_cast<int64_t>(l.text.units.size() * 2); }

void from_unicode_polyloc(benchmark::State &state, size_t i) {
  Loaded &l = loaded(i);
  std::vector<char> out(l.text.units.size() * 4 + 4);
  for (auto _ : state) {
    benchmark::DoNotOptimize(PLUnicodeToString(l.locale, out.data(), size_of(out.size()),
                                               l.text.units.data(), size_of(l.text.units.size()),
                                               0));
  }
  state.SetBytesProcessed(state.iterations() * unit_bytes(l));
}

void from_unicode_iconv(benchmark::State &state, size_t i) {
  const Case &c = kCases[i];
  Loaded &l = loaded(i);
  iconv_t cd = iconv_open(c.iconv, "UTF-16LE");
  std::vector<char> out(l.text.units.size() * 4 + 4);
  for (auto _ : state) {
    char *in = reinterpret_cast<char *>(l.text.units.data());
    size_t in_left = l.text.units.size() * 2, out_left = out.size();
    char *at = out.data();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    benchmark::DoNotOptimize(iconv(cd, &in, &in_left, &at, &out_left));
  }
  iconv_close(cd);
  state.SetBytesProcessed(state.iterations() * unit_bytes(l));
}

void from_unicode_icu(benchmark::State &state, size_t i) {
  const Case &c = kCases[i];
  Loaded &l = loaded(i);
  UErrorCode error = U_ZERO_ERROR;
  UConverter *converter = ucnv_open(c.icu, &error);
  std::vector<char> out(l.text.units.size() * 4 + 4);
  for (auto _ : state) {
    error = U_ZERO_ERROR;
    benchmark::DoNotOptimize(ucnv_fromUChars(converter, out.data(), size_of(out.size()),
                                             reinterpret_cast<const UChar *>(l.text.units.data()),
                                             size_of(l.text.units.size()), &error));
  }
  ucnv_close(converter);
  state.SetBytesProcessed(state.iterations() * unit_bytes(l));
}

void buffer_polyloc(benchmark::State &state) {
  Loaded &l = loaded(0);
  int32_t error = 0;
  PLLocale *utf8 = PLGetLocale(".UTF-8", 0, &error);
  PLConversion *conversion = PLOpenConversion(utf8, l.locale);
  std::vector<char> out(l.text.bytes.size() * 2);
  for (auto _ : state) {
    const char *in = l.text.bytes.data();
    int32_t in_left = size_of(l.text.bytes.size());
    char *at = out.data();
    int32_t out_left = size_of(out.size());
    benchmark::DoNotOptimize(PLConvertBuffer(conversion, &at, &out_left, &in, &in_left));
  }
  PLCloseConversion(conversion);
  PLReleaseLocale(utf8);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.bytes.size()));
}

void buffer_iconv(benchmark::State &state) {
  Loaded &l = loaded(0);
  iconv_t cd = iconv_open("UTF-8", "CP932");
  std::vector<char> out(l.text.bytes.size() * 2);
  for (auto _ : state) {
    char *in = l.text.bytes.data();
    size_t in_left = l.text.bytes.size(), out_left = out.size();
    char *at = out.data();
    benchmark::DoNotOptimize(iconv(cd, &in, &in_left, &at, &out_left));
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.bytes.size()));
}

void register_all() {
  for (size_t c = 0; c < std::size(kCases); ++c) {
    std::string name = kCases[c].label;
    benchmark::RegisterBenchmark(("ToUnicode/" + name + "/polyloc").c_str(), to_unicode_polyloc, c);
    benchmark::RegisterBenchmark(("ToUnicode/" + name + "/iconv").c_str(), to_unicode_iconv, c);
    benchmark::RegisterBenchmark(("ToUnicode/" + name + "/icu").c_str(), to_unicode_icu, c);
    benchmark::RegisterBenchmark(("FromUnicode/" + name + "/polyloc").c_str(), from_unicode_polyloc, c);
    benchmark::RegisterBenchmark(("FromUnicode/" + name + "/iconv").c_str(), from_unicode_iconv, c);
    benchmark::RegisterBenchmark(("FromUnicode/" + name + "/icu").c_str(), from_unicode_icu, c);
  }
  benchmark::RegisterBenchmark("ConvertBuffer/MS932-to-UTF-8/polyloc", buffer_polyloc);
  benchmark::RegisterBenchmark("ConvertBuffer/MS932-to-UTF-8/iconv", buffer_iconv);
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
