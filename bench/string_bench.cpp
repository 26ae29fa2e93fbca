// The string functions beside their peers, in one run:
//  - PLStrstr, PLStrchr, PLStrcspn and PLStrcmp on 1 MiB of MS1252 text beside glibc's
//    strstr, strchr, strcspn and strcmp;
//  - the same four on 1 MiB of MS932 (Japanese) and UTF-8 (western and Japanese lines)
//    text beside a naive loop that steps characters with PLByteLength, as an
//    application would write it with the navigation API;
//  - PLMapStringU with PL_MAP_UPPER beside ICU's u_strToUpper (root locale) on 1 MiB of
//    UTF-16 text.
// Every search finds its target only at the end of the text, so each call walks all
// of it; strcmp compares two equal copies that differ in the last byte. Throughput
// counts the bytes of one text (units for the mapping). Before timing, each case
// checks its result against the peer's and the known position, and is skipped with a
// message when they differ.
//
// The PL calls pass -1 (NUL-terminated) for every length, as the C functions and the
// naive loops have to find the end by the NUL too; the "polyloc-len" rows pass the
// lengths instead, to show what a caller that knows them gets.
#include <benchmark/benchmark.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_texts.h"
#include "polyloc.h"

namespace {

using plbench::Script;

constexpr size_t kTextSize = 1 << 20;

// What the searches look for, in UTF-16: a needle just before the end, then one last
// character; the set holds that character and three that never occur.
struct Markers {
  const char16_t *needle;
  const char16_t *last;
  const char16_t *set;
};

constexpr Markers kWesternMarkers = {u"lazy dog #42", u"@", u"|@~^"};
constexpr Markers kJapaneseMarkers = {u"東京タワーの展望台へ", u"Ω", u"ΣЖΩЯ"};

enum class Peer { glibc, naive };

struct Case {
  const char *label;
  const char *locale;
  Script script;
  bool mixed;  // lines of western and Japanese text taking turns, instead of script
  const Markers *markers;
  Peer peer;
};

constexpr Case kCases[] = {
    {"MS1252", "English_UnitedStates.MS1252", Script::western, false, &kWesternMarkers,
     Peer::glibc},
    {"MS932", "Japanese_Japan.MS932", Script::japanese, false, &kJapaneseMarkers, Peer::naive},
    {"UTF-8", "English_UnitedStates.UTF-8", Script::western, true, &kJapaneseMarkers,
     Peer::naive},
};

// A case's text, NUL-terminated, with its markers in the code set.
struct Loaded {
  PLLocale *locale;
  std::string text;   // body + needle + last
  std::string other;  // text with its last byte one less, ordered before text
  std::string needle, last, set;
  size_t needle_at;   // where the needle starts
};

PLLocale *open_locale(const char *name) {
  int32_t error = 0;
  PLLocale *locale = PLGetLocale(name, 0, &error);
  if (locale == nullptr) {
    std::fprintf(stderr, "no locale %s (%d)\n", name, error);
    std::exit(1);
  }
  return locale;
}

std::string encode(PLLocale *locale, const char16_t *text) {
  std::u16string units(text);
  char bytes[128];
  int32_t n = PLUnicodeToString(locale, bytes, sizeof bytes,
                                reinterpret_cast<const PLUChar *>(units.data()),
                                static_cast<int32_t>(units.size()), 0);
  std::string out(bytes, n > 0 ? static_cast<size_t>(n) : 0);
  if (out.empty() || out.find('?') != std::string::npos) {
    std::fprintf(stderr, "a marker does not fit the code set\n");
    std::exit(1);
  }
  return out;
}

// The whole lines of `text` within `size` bytes.
std::string lines_within(const std::string &text, size_t size) {
  return text.substr(0, text.rfind('\n', size - 1) + 1);
}

// Lines of western and Japanese text, taking turns.
std::string mixed_text(PLLocale *locale, size_t size) {
  std::string western = plbench::make_text(locale, Script::western, size).bytes;
  std::string japanese = plbench::make_text(locale, Script::japanese, size).bytes;
  std::string out;
  for (size_t w = 0, j = 0; out.size() < size;) {
    size_t w_end = western.find('\n', w) + 1, j_end = japanese.find('\n', j) + 1;
    out.append(western, w, w_end - w).append(japanese, j, j_end - j);
    w = w_end;
    j = j_end;
  }
  return out;
}

Loaded &loaded(size_t i) {
  static std::vector<std::unique_ptr<Loaded>> all(std::size(kCases));
  const Case &c = kCases[i];
  if (!all[i]) {
    auto l = std::make_unique<Loaded>();
    l->locale = open_locale(c.locale);
    l->needle = encode(l->locale, c.markers->needle);
    l->last = encode(l->locale, c.markers->last);
    l->set = encode(l->locale, c.markers->set);
    std::string body = c.mixed ? mixed_text(l->locale, kTextSize)
                           : plbench::make_text(l->locale, c.script, kTextSize).bytes;
    l->text = lines_within(body, kTextSize - l->needle.size() - l->last.size());
    l->needle_at = l->text.size();
    l->text += l->needle + l->last;
    l->other = l->text;
    --l->other.back();  // still a valid character: '?', Ψ
    all[i] = std::move(l);
  }
  return *all[i];
}

int32_t size_of(size_t n) { return static_cast<int32_t>(n); }

// The naive peers: one PLByteLength per character, comparing the character's bytes.

bool starts_with(const char *s, const std::string &prefix) {
  return std::strncmp(s, prefix.c_str(), prefix.size()) == 0;
}

const char *naive_strstr(PLLocale *locale, const char *s, const std::string &sub) {
  for (; *s != 0; s += PLByteLength(locale, s))
    if (starts_with(s, sub)) return s;
  return sub.empty() ? s : nullptr;
}

const char *naive_strchr(PLLocale *locale, const char *s, const std::string &chr) {
  for (;; ) {
    int32_t n = PLByteLength(locale, s);
    if (static_cast<size_t>(n) == chr.size() && std::memcmp(s, chr.data(), chr.size()) == 0)
      return s;
    if (*s == 0) return nullptr;
    s += n;
  }
}

int32_t naive_strcspn(PLLocale *locale, const char *s, const std::string &set) {
  std::vector<std::string> chars;
  for (size_t at = 0; at < set.size();) {
    size_t n = static_cast<size_t>(PLByteLength(locale, set.c_str() + at));
    chars.push_back(set.substr(at, n));
    at += n;
  }
  const char *p = s;
  for (; *p != 0;) {
    size_t n = static_cast<size_t>(PLByteLength(locale, p));
    for (const std::string &c : chars)
      if (c.size() == n && std::memcmp(p, c.data(), n) == 0) return size_of(p - s);
    p += n;
  }
  return size_of(p - s);
}

int32_t naive_strcmp(PLLocale *locale, const char *a, const char *b) {
  for (;;) {
    int32_t n = PLByteLength(locale, a);
    if (std::memcmp(a, b, static_cast<size_t>(n)) != 0) {
      PLWChar ca = PLGetChar(locale, a), cb = PLGetChar(locale, b);
      return ca < cb ? -1 : 1;
    }
    if (*a == 0) return 0;
    a += n;
    b += n;
  }
}

int sign(int v) { return (v > 0) - (v < 0); }

// Checks a case's result once: the PL result, the peer's and the expected one agree.
bool agrees(benchmark::State &state, const char *what, long pl, long peer, long expected) {
  if (pl == expected && peer == expected) return true;
  char message[160];
  std::snprintf(message, sizeof message, "%s: polyloc %ld, peer %ld, expected %ld", what, pl,
                peer, expected);
  state.SkipWithError(message);
  return false;
}

long offset(const Loaded &l, const char *p) { return p ? p - l.text.c_str() : -1; }

void count_bytes(benchmark::State &state, const Loaded &l) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * l.text.size()));
}

// Which implementation a row times.
enum class Who { polyloc, polyloc_len, peer };

// Times the peer or the library, as `who` says.
template <class Peer, class Ours>
void timed(benchmark::State &state, Who who, Peer peer, Ours ours) {
  for (auto _ : state) {
    if (who == Who::peer)
      benchmark::DoNotOptimize(peer());
    else
      benchmark::DoNotOptimize(ours());
  }
}

void strstr_case(benchmark::State &state, size_t i, Who who) {
  Loaded &l = loaded(i);
  const char *s = l.text.c_str(), *sub = l.needle.c_str();
  int32_t len = who == Who::polyloc_len ? size_of(l.text.size()) : -1;
  int32_t sub_len = who == Who::polyloc_len ? size_of(l.needle.size()) : -1;
  bool glibc = kCases[i].peer == Peer::glibc;
  auto peer = [&] { return glibc ? std::strstr(s, sub) : naive_strstr(l.locale, s, l.needle); };
  if (!agrees(state, "strstr", offset(l, PLStrstr(l.locale, s, len, sub, sub_len, 0)),
              offset(l, peer()), static_cast<long>(l.needle_at)))
    return;
  timed(state, who, peer, [&] { return PLStrstr(l.locale, s, len, sub, sub_len, 0); });
  count_bytes(state, l);
}

void strchr_case(benchmark::State &state, size_t i, Who who) {
  Loaded &l = loaded(i);
  const char *s = l.text.c_str(), *chr = l.last.c_str();
  int32_t len = who == Who::polyloc_len ? size_of(l.text.size()) : -1;
  bool glibc = kCases[i].peer == Peer::glibc;
  auto peer = [&] { return glibc ? std::strchr(s, *chr) : naive_strchr(l.locale, s, l.last); };
  if (!agrees(state, "strchr", offset(l, PLStrchr(l.locale, s, len, chr, 0)), offset(l, peer()),
              static_cast<long>(l.text.size() - l.last.size())))
    return;
  timed(state, who, peer, [&] { return PLStrchr(l.locale, s, len, chr, 0); });
  count_bytes(state, l);
}

void strcspn_case(benchmark::State &state, size_t i, Who who) {
  Loaded &l = loaded(i);
  const char *s = l.text.c_str(), *set = l.set.c_str();
  int32_t len = who == Who::polyloc_len ? size_of(l.text.size()) : -1;
  int32_t set_len = who == Who::polyloc_len ? size_of(l.set.size()) : -1;
  bool glibc = kCases[i].peer == Peer::glibc;
  auto peer = [&] {
    return glibc ? size_of(std::strcspn(s, set)) : naive_strcspn(l.locale, s, l.set);
  };
  if (!agrees(state, "strcspn", PLStrcspn(l.locale, s, len, set, set_len, 0), peer(),
              static_cast<long>(l.text.size() - l.last.size())))
    return;
  timed(state, who, peer, [&] { return PLStrcspn(l.locale, s, len, set, set_len, 0); });
  count_bytes(state, l);
}

void strcmp_case(benchmark::State &state, size_t i, Who who) {
  Loaded &l = loaded(i);
  const char *a = l.text.c_str(), *b = l.other.c_str();
  int32_t len = who == Who::polyloc_len ? size_of(l.text.size()) : -1;
  bool glibc = kCases[i].peer == Peer::glibc;
  auto peer = [&] { return glibc ? std::strcmp(a, b) : naive_strcmp(l.locale, a, b); };
  if (!agrees(state, "strcmp", sign(PLStrcmp(l.locale, a, len, b, len, 0)), sign(peer()), 1))
    return;
  timed(state, who, peer, [&] { return PLStrcmp(l.locale, a, len, b, len, 0); });
  count_bytes(state, l);
}

// Upper case of 1 MiB of UTF-16 (512 Ki units) of western or Japanese text.
constexpr size_t kUnits = kTextSize / 2;

struct Mapped {
  const char *label;
  size_t text_case;  // the case whose code set the text is made in
  Script script;
};

constexpr Mapped kMapped[] = {{"western", 0, Script::western}, {"japanese", 1, Script::japanese}};

const std::vector<PLUChar> &units(size_t m) {
  static std::vector<std::vector<PLUChar>> all(std::size(kMapped));
  if (all[m].empty()) {
    // The units of a text twice as long in bytes as kUnits: enough in either code set.
    all[m] = plbench::make_text(loaded(kMapped[m].text_case).locale, kMapped[m].script,
                                2 * kUnits).units;
    if (all[m].size() < kUnits) {
      std::fprintf(stderr, "short UTF-16 text\n");
      std::exit(1);
    }
    all[m].resize(kUnits);  // the repertoires hold no surrogates: any cut is whole
  }
  return all[m];
}

int32_t icu_upper(std::vector<PLUChar> &out, const std::vector<PLUChar> &in) {
  UErrorCode error = U_ZERO_ERROR;
  return u_strToUpper(reinterpret_cast<UChar *>(out.data()), size_of(out.size()),
                      reinterpret_cast<const UChar *>(in.data()), size_of(in.size()), "", &error);
}

void upper_case(benchmark::State &state, size_t m, Who who) {
  PLLocale *locale = loaded(0).locale;  // English
  const std::vector<PLUChar> &in = units(m);
  std::vector<PLUChar> out(in.size() * 3), peer_out(in.size() * 3);
  int32_t n = PLMapStringU(locale, out.data(), size_of(out.size()), in.data(), size_of(in.size()),
                           PL_MAP_UPPER);
  int32_t peer_n = icu_upper(peer_out, in);
  if (n != peer_n || n < 0 ||
      std::memcmp(out.data(), peer_out.data(), static_cast<size_t>(n) * 2) != 0) {
    size_t at = 0;
    while (at < out.size() && out[at] == peer_out[at]) ++at;
    char message[160];
    std::snprintf(message, sizeof message,
                  "upper: polyloc %d units, icu %d; first difference at unit %zu (U+%04X vs U+%04X)",
                  n, peer_n, at, out[at], peer_out[at]);
    state.SkipWithError(message);
    return;
  }
  for (auto _ : state) {
    if (who == Who::peer)
      benchmark::DoNotOptimize(icu_upper(peer_out, in));
    else
      benchmark::DoNotOptimize(PLMapStringU(locale, out.data(), size_of(out.size()), in.data(),
                                            size_of(in.size()), PL_MAP_UPPER));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void register_all() {
  using Function = void (*)(benchmark::State &, size_t, Who);
  struct Named {
    const char *name;
    Function function;
  };
  constexpr Named kFunctions[] = {{"Strstr", strstr_case},
                                  {"Strchr", strchr_case},
                                  {"Strcspn", strcspn_case},
                                  {"Strcmp", strcmp_case}};
  for (size_t c = 0; c < std::size(kCases); ++c) {
    std::string peer = kCases[c].peer == Peer::glibc ? "/glibc" : "/naive";
    for (const Named &f : kFunctions) {
      std::string name = std::string(f.name) + "/" + kCases[c].label;
      benchmark::RegisterBenchmark((name + "/polyloc").c_str(), f.function, c, Who::polyloc);
      benchmark::RegisterBenchmark((name + "/polyloc-len").c_str(), f.function, c,
                                   Who::polyloc_len);
      benchmark::RegisterBenchmark((name + peer).c_str(), f.function, c, Who::peer);
    }
  }
  for (size_t m = 0; m < std::size(kMapped); ++m) {
    std::string name = std::string("MapUpper/") + kMapped[m].label;
    benchmark::RegisterBenchmark((name + "/polyloc").c_str(), upper_case, m, Who::polyloc);
    benchmark::RegisterBenchmark((name + "/icu").c_str(), upper_case, m, Who::peer);
  }
}

}  // namespace

int main(int argc, char **argv) { return plbench::run_benchmarks(argc, argv, register_all); }
