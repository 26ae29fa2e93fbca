// The stream reader beside glibc's wide-character input, on the same 4 MB UTF-8 file
// of English, Western European and Japanese lines (72 characters and a line feed):
//  - per character: PLReadCharW over a callback that freads the file, and over one
//    that copies from memory, beside fgetwc (and fgetwc_unlocked) under C.UTF-8;
//  - per line: PLReadString (line feeds, 512-byte buffer) beside fgetws.
// Each iteration reads the whole file, in 64 KiB blocks on both sides; items are
// characters (or lines).
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include <unistd.h>

#include "bench_texts.h"
#include "polyloc.h"

namespace {

constexpr int32_t kReadBuffer = 65536;

PLLocale *utf8() {
  static PLLocale *l = plbench::open_locale("English_UnitedStates.UTF-8");
  return l;
}

const std::string &text() {
  static const std::string t = [] {
    std::string all;
    for (auto [script, size] : {std::pair{plbench::Script::english, 1u << 20},
                                {plbench::Script::western, 3u << 19},
                                {plbench::Script::japanese, 3u << 19}})
      all += plbench::make_text(utf8(), script, size).bytes;
    return all;
  }();
  return t;
}

// The text as a file, removed at exit.
const char *text_path() {
  static std::string path = [] {
    char name[] = "/tmp/stream_bench_XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0 || write(fd, text().data(), text().size()) != static_cast<ssize_t>(text().size())) {
      std::perror("stream_bench");
      std::exit(1);
    }
    close(fd);
    std::atexit([] { std::remove(text_path()); });
    return std::string(name);
  }();
  return path.c_str();
}

int32_t read_file(void *context, void *buffer, int32_t count) {
  return static_cast<int32_t>(std::fread(buffer, 1, static_cast<size_t>(count), static_cast<FILE *>(context)));
}

struct Memory {
  const char *at, *end;
};

int32_t read_memory(void *context, void *buffer, int32_t count) {
  Memory &m = *static_cast<Memory *>(context);
  size_t n = std::min(static_cast<size_t>(count), static_cast<size_t>(m.end - m.at));
  std::memcpy(buffer, m.at, n);
  m.at += n;
  return static_cast<int32_t>(n);
}

// The file opened afresh (fgetwc needs a stream whose orientation is not set yet),
// buffered in blocks of the stream reader's size.
FILE *reopened() {
  FILE *f = std::fopen(text_path(), "r");
  std::setvbuf(f, nullptr, _IOFBF, kReadBuffer);
  return f;
}

void finish(benchmark::State &state, size_t items) {
  state.SetItemsProcessed(static_cast<int64_t>(items));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text().size()));
}

template <bool kFromFile>
void chars_ours(benchmark::State &state) {
  size_t chars = 0;
  PLLocale *locale = utf8();
  for (auto _ : state) {
    FILE *f = kFromFile ? reopened() : nullptr;
    Memory m{text().data(), text().data() + text().size()};
    PLStream *s = PLOpenStreamEx(locale, kFromFile ? read_file : read_memory,
                                 kFromFile ? static_cast<void *>(f) : &m, kReadBuffer, PL_STREAM_READ);
    for (PLWChar c; (c = PLReadCharW(s, locale)) != static_cast<PLWChar>(-1);) {
      benchmark::DoNotOptimize(c);
      ++chars;
    }
    PLCloseStream(s, locale);
    if (f) std::fclose(f);
  }
  finish(state, chars);
}

template <wint_t (*kGet)(FILE *)>
void chars_glibc(benchmark::State &state) {
  size_t chars = 0;
  for (auto _ : state) {
    FILE *f = reopened();
    for (wint_t c; (c = kGet(f)) != WEOF;) {
      benchmark::DoNotOptimize(c);
      ++chars;
    }
    std::fclose(f);
  }
  finish(state, chars);
}

void lines_ours(benchmark::State &state) {
  size_t lines = 0;
  char line[512];
  PLLocale *locale = utf8();
  for (auto _ : state) {
    FILE *f = reopened();
    PLStream *s = PLOpenStreamEx(locale, read_file, f, kReadBuffer, PL_STREAM_READ);
    for (int32_t n; (n = PLReadString(s, locale, line, sizeof line, PL_EOL_LF)) >= 0;) {
      benchmark::DoNotOptimize(line[0]);
      ++lines;
    }
    PLCloseStream(s, locale);
    std::fclose(f);
  }
  finish(state, lines);
}

void lines_glibc(benchmark::State &state) {
  size_t lines = 0;
  wchar_t line[512];
  for (auto _ : state) {
    FILE *f = reopened();
    while (std::fgetws(line, 512, f) != nullptr) {
      benchmark::DoNotOptimize(line[0]);
      ++lines;
    }
    std::fclose(f);
  }
  finish(state, lines);
}

wint_t fgetwc_locked(FILE *f) { return std::fgetwc(f); }

void register_all() {
  if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr && std::setlocale(LC_ALL, "en_US.UTF-8") == nullptr) {
    std::fprintf(stderr, "no UTF-8 locale in glibc\n");
    std::exit(1);
  }
  text_path();  // the text is made before any timing
  benchmark::RegisterBenchmark("chars/PLReadCharW_file", chars_ours<true>);
  benchmark::RegisterBenchmark("chars/PLReadCharW_memory", chars_ours<false>);
  benchmark::RegisterBenchmark("chars/fgetwc", chars_glibc<fgetwc_locked>);
  benchmark::RegisterBenchmark("chars/fgetwc_unlocked", chars_glibc<fgetwc_unlocked>);
  benchmark::RegisterBenchmark("lines/PLReadString_file", lines_ours);
  benchmark::RegisterBenchmark("lines/fgetws", lines_glibc);
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
