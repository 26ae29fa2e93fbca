// Streams over memory callbacks. The properties run over every code set (fixed seed):
// text written a character at a time to a callback that takes random short counts (0
// among them) reads back whole from one that delivers random short counts, raw units
// too, and lines read under each end-of-line convention equal a naive split. The edge
// cases cover the rest: callbacks that fail, or end and then deliver more, push-back,
// the 80 held bytes, code page 930 shifts, arguments, full line buffers, allocations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "charset/charset_view.h"
#include "conversion_api/codesets.h"
#include "frame/handle.h"
#include "support/locale_dir.h"

namespace {

using pltest::Bytes;
using pltest::Codeset;
using Chars = std::vector<PLWChar>;

// Each callback call takes or delivers at most the next count of a script (a negative
// count fails the call), then as much as it may.
struct Pipe {
  Bytes data;                   // read streams: the source; write streams: what was taken
  size_t at = 0;                // read streams: next byte delivered
  std::vector<int32_t> script;  // counts of the first calls
  size_t calls = 0;

  int32_t limit(int32_t count) { return std::min(calls++ < script.size() ? script[calls - 1] : count, count); }
};

int32_t pipe_read(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t n = std::min(p.limit(count), static_cast<int32_t>(p.data.size() - p.at));
  if (n > 0) std::memcpy(buffer, p.data.data() + p.at, static_cast<size_t>(n)), p.at += static_cast<size_t>(n);
  return n;
}

int32_t pipe_write(void *context, void *buffer, int32_t count) {
  Pipe &p = *static_cast<Pipe *>(context);
  int32_t n = p.limit(count);
  if (n > 0) p.data.insert(p.data.end(), static_cast<uint8_t *>(buffer), static_cast<uint8_t *>(buffer) + n);
  return n;
}

// Streams that close themselves.
struct Stream {
  PLStream *s;
  PLLocale *locale;
  Stream(PLLocale *l, Pipe &pipe, int32_t direction, int32_t buffer = 1)
      : s(PLOpenStreamEx(l, direction == PL_STREAM_READ ? pipe_read : pipe_write, &pipe, buffer, direction)),
        locale(l) {}
  ~Stream() {
    if (s) PLCloseStream(s, locale);
  }
  int32_t close() { return PLCloseStream(std::exchange(s, nullptr), locale); }
  operator PLStream *() const { return s; }
};

class Streams : public testing::Test {
 protected:
  // Random counts 0 to 3; a read callback's 0 is the end of the data, so readers get 1 to 3.
  Pipe scripted(Bytes data, size_t calls, int32_t least) {
    std::vector<int32_t> counts(calls);
    for (int32_t &c : counts) c = least + static_cast<int32_t>(random_() % (4 - least));
    return {std::move(data), 0, counts};
  }
  Pipe reader(const Bytes &data) { return scripted(data, data.size(), 1); }
  Pipe writer(size_t bytes) { return scripted({}, 2 * bytes, 0); }
  // Read buffers from a byte, which splits every character, to ones that hold a text.
  int32_t buffer_size() { return std::vector{1, 2, 3, 5, 8, 64, 4096}[random_() % 7]; }

  pltest::Session session_{pltest::built_locale_dir()};
  pltest::Codesets sets_{session_};
  std::mt19937 random_{20261206};
  PLLocale *utf8 = sets_.named("UTF-8").locale, *ibm = sets_.named("IBM930").locale;
};

constexpr PLWChar kNo = static_cast<PLWChar>(-1);
const std::string kText = "a\xC3\xA9\xE2\x82\xAC";  // a, e acute, euro sign
const char *const kChars[] = {"a", "\xC3\xA9", "\xE2\x82\xAC"}, *const kEmoji = "\xF0\x9F\x98\x80";
const std::string kMixed = "\xC1\x0E\x44\x5A\x44\x5B\x0F\xC2";  // code page 930: A, a shifted pair, B
const PLWChar kMixedChars[] = {0xC1, 0x445A, 0x445B, 0xC2};
const char *const kMixedBytes[] = {"\xC1", "\x44\x5A", "\x44\x5B", "\xC2"};

Bytes bytes(const std::string &s) { return Bytes(s.begin(), s.end()); }

TEST_F(Streams, FailedWritesHoldTheirBytesForTheNextCall) {
  const std::vector<int32_t> cases[][2] = {  // script, codes of the three writes
      {{1, -1}, {0, PL_ERR_STREAM_WRITE, 0}},  // the held byte goes out first
      {{-1, -1, 1, -1}, {PL_ERR_STREAM_WRITE, PL_ERR_STREAM_WRITE, PL_ERR_STREAM_WRITE}},
  };
  for (const auto &[script, codes] : cases) {
    Pipe pipe{{}, 0, script};
    Stream s(utf8, pipe, PL_STREAM_WRITE);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(PLWriteChar(s, utf8, kChars[i]), codes[i] == 0 ? 1 : 0);
      EXPECT_EQ(PLGetError(utf8), codes[i]);
    }
    EXPECT_EQ(PLFlushStream(s, utf8), 1);
    EXPECT_EQ(pipe.data, bytes(kText));
  }
}

TEST_F(Streams, HeldBytesStopAtEighty) {
  Pipe pipe{{}, 0, std::vector<int32_t>(30, -1)};
  Stream s(utf8, pipe, PL_STREAM_WRITE);
  std::string held;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(PLWriteChar(s, utf8, kEmoji), 0);
    held += kEmoji;
  }
  EXPECT_EQ(PLWriteChar(s, utf8, kEmoji), 0);  // 84 bytes would be held: dropped whole
  EXPECT_EQ(PLGetError(utf8), PL_ERR_BUFFER_TOO_SMALL);
  pipe.script.clear();
  EXPECT_EQ(PLWriteCharW(s, utf8, 'z'), 1);
  EXPECT_EQ(pipe.data, bytes(held + "z"));
  pipe.script = std::vector<int32_t>(pipe.calls + 2, -1);  // a failed flush drops what it held
  EXPECT_EQ(PLWriteCharU(s, utf8, 0x4142), 0);
  EXPECT_EQ(PLFlushStream(s, utf8), 0);
  EXPECT_EQ(PLGetError(utf8), PL_ERR_STREAM_FLUSH);
  pipe.script.clear();
  EXPECT_EQ(PLFlushStream(s, utf8), 1);
  EXPECT_EQ(pipe.data.size(), 81u);
}

TEST_F(Streams, ReadsResumeAfterFailuresAndEnds) {
  struct Case {
    std::string data;
    int32_t buffer;
    std::vector<int32_t> script;
    bool units;                                      // PLReadCharU, else PLReadCharW
    std::vector<std::pair<PLWChar, int32_t>> steps;  // what each read gives, and its code
  } cases[] = {
      {kText, 64, {1, 1, -1}, false, {{'a', 0}, {kNo, PL_ERR_STREAM_READ}, {0xC3A9, 0}}},
      {kText, 2, {1, -1, 1, -1}, false,
       {{'a', 0}, {kNo, PL_ERR_STREAM_READ}, {kNo, PL_ERR_STREAM_READ}, {0xC3A9, 0}, {0xE282AC, 0}}},
      {"a\xE2\x82", 8, {}, false, {{'a', 0}, {kNo, PL_ERR_STREAM_PARTIAL}, {kNo, PL_ERR_STREAM_PARTIAL}}},
      {"\xE2", 8, {0, 1}, false, {{kNo, 0}, {kNo, PL_ERR_STREAM_PARTIAL}}},  // more data after an end
      // The odd byte of a unit stays for the data after an end.
      {"abcd", 1, {1, 1, 1, 0}, true,
       {{0x6261, 0}, {0xFFFF, PL_ERR_STREAM_PARTIAL}, {0x6463, 0}, {0xFFFF, PL_ERR_END_OF_STREAM}}},
  };
  for (const Case &c : cases) {
    Pipe pipe{bytes(c.data), 0, c.script};
    Stream s(utf8, pipe, PL_STREAM_READ, c.buffer);
    for (auto [ch, code] : c.steps) {
      EXPECT_EQ(c.units ? PLReadCharU(s, utf8) : PLReadCharW(s, utf8), ch) << c.data;
      EXPECT_EQ(PLGetError(utf8), code);
    }
  }
}

TEST_F(Streams, PushedBackCharactersComeBackInReverse) {
  Pipe pipe{bytes("z"), 0, {}};
  Stream s(utf8, pipe, PL_STREAM_READ);
  for (const char *c : kChars) EXPECT_EQ(PLUngetChar(s, utf8, c), 1);
  EXPECT_EQ(PLUngetCharU(s, utf8, 0x4241), 1);
  for (PLWChar c : {0x41u, 0x42u, 0xE282ACu, 0xC3A9u, 0x61u, 0x7Au}) EXPECT_EQ(PLReadCharW(s, utf8), c);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(PLUngetCharW(s, utf8, 0xF09F9880), 1);
  EXPECT_EQ(PLUngetChar(s, utf8, "x"), 0);
  EXPECT_EQ(PLGetError(utf8), PL_ERR_BUFFER_TOO_SMALL);
}

TEST_F(Streams, ShiftsSurvivePushBackAndClose) {
  for (int32_t buffer : {1, 3, 64}) {
    Pipe pipe{bytes(kMixed), 0, {}};
    Stream s(ibm, pipe, PL_STREAM_READ, buffer);
    // Read two, push them back in reverse, read all; then push all back, across the
    // shift bytes, and read all again.
    EXPECT_EQ(PLReadCharW(s, ibm), kMixedChars[0]);
    EXPECT_EQ(PLReadCharW(s, ibm), kMixedChars[1]);
    EXPECT_EQ(PLUngetCharEx(s, ibm, kMixedBytes[1], 1), 1);
    EXPECT_EQ(PLUngetCharW(s, ibm, kMixedChars[0]), 1);
    for (PLWChar c : kMixedChars) EXPECT_EQ(PLReadCharW(s, ibm), c);
    for (int i = 3; i >= 0; --i) EXPECT_EQ(PLUngetCharW(s, ibm, kMixedChars[i]), 1);
    for (PLWChar c : kMixedChars) EXPECT_EQ(PLReadCharW(s, ibm), c);
    // A single-byte character pushed back into shifted text, nothing held.
    pipe.data = bytes(kMixed), pipe.at = 0;
    EXPECT_EQ(PLFlushStream(s, ibm), 1);
    for (int i = 0; i < 2; ++i) PLReadCharW(s, ibm);
    EXPECT_EQ(PLUngetChar(s, ibm, "\xC1"), 1);
    for (PLWChar c : {0xC1u, 0x445Bu, 0xC2u, kNo}) EXPECT_EQ(PLReadCharW(s, ibm), c);
  }
  // Closing a write stream in the shifted state ends the run.
  for (size_t count : {2u, 3u, 4u}) {
    Pipe pipe;
    Stream s(ibm, pipe, PL_STREAM_WRITE);
    for (size_t i = 0; i < count; ++i) EXPECT_EQ(PLWriteCharEx(s, ibm, kMixedBytes[i], i == 1 || i == 2), 1);
    EXPECT_EQ(s.close(), 1);
    EXPECT_EQ(pipe.data, bytes(count == 4 ? kMixed : kMixed.substr(0, 2 * count) + '\x0F'));
  }
}

TEST_F(Streams, DirectionsAndArguments) {
  Pipe pipe;
  Stream in(utf8, pipe, PL_STREAM_READ), out(utf8, pipe, PL_STREAM_WRITE);
  char line[8];
  int call = 0;
  auto expect = [&](int64_t result, int64_t want, int32_t code) {
    EXPECT_EQ(result, want) << call;
    EXPECT_EQ(PLGetError(utf8), code) << call++;
  };
  expect(PLOpenStream(utf8, pipe_read, &pipe, 0x80000052) != nullptr, 0, PL_ERR_ARGUMENT);
  expect(PLOpenStream(utf8, nullptr, &pipe, PL_STREAM_READ) != nullptr, 0, PL_ERR_ARGUMENT);
  expect(PLWriteChar(in, utf8, "a"), 0, PL_ERR_STREAM_DIRECTION);
  expect(PLWriteCharU(in, utf8, 'a'), 0, PL_ERR_STREAM_DIRECTION);
  expect(PLReadCharW(out, utf8), kNo, PL_ERR_STREAM_DIRECTION);
  expect(PLReadCharU(out, utf8), 0xFFFF, PL_ERR_STREAM_DIRECTION);
  expect(PLUngetCharW(out, utf8, 'a'), 0, PL_ERR_STREAM_DIRECTION);
  expect(PLReadString(out, utf8, line, 8, 0), -2, PL_ERR_STREAM_DIRECTION);
  expect(PLReadString(in, utf8, line, 8, 0x1000), -2, PL_ERR_ARGUMENT);
  expect(PLReadStringU(in, utf8, nullptr, 8, 0), -2, PL_ERR_ARGUMENT);
  expect(PLReadStringW(in, utf8, nullptr, 0, PL_READ_TERMINATE), -2, PL_ERR_ARGUMENT);
  expect(PLCloseStream(nullptr, utf8), 0, PL_ERR_ARGUMENT);
}

// Lines cut by a full buffer (the properties read whole lines), the UTF-16 line
// separator and the code page 930 pair 00 25, which is no line feed.
TEST_F(Streams, LinesCutByTheBuffer) {
  struct Case {
    std::string data;
    int32_t size, flags;
    std::vector<std::string> lines;
  } cases[] = {
      {"ab\ncd", 2, PL_EOL_LF | PL_READ_STRIP_EOL, {"ab", "cd"}},  // full, then the end consumed
      {"ab\r\ncd", 2, PL_EOL_CRLF | PL_READ_STRIP_EOL, {"ab", "cd"}},
      {"abc\n", 3, PL_EOL_LF | PL_READ_TERMINATE, {"ab", "c\n"}},
  };
  for (const Case &c : cases) {
    Pipe pipe{bytes(c.data), 0, {}};
    Stream s(utf8, pipe, PL_STREAM_READ);
    std::vector<std::string> lines;
    char line[4];
    for (int32_t n; (n = PLReadString(s, utf8, line, c.size, c.flags)) >= 0;)
      lines.emplace_back(line, n - ((c.flags & PL_READ_TERMINATE) ? 1 : 0));
    EXPECT_EQ(PLGetError(utf8), PL_OK);
    EXPECT_EQ(lines, c.lines) << c.data;
  }
  Pipe pipe{bytes(std::string("a\0\x28\x20" "b\0", 6)), 0, {}};
  Stream s(utf8, pipe, PL_STREAM_READ);
  PLUChar units[4];
  EXPECT_EQ(PLReadStringU(s, utf8, units, 4, PL_EOL_LINE_SEP), 2);
  EXPECT_EQ(units[1], 0x2028);
  const std::string shifted("\x0E\x00\x25\x0F\x25", 5);
  Pipe ebcdic{bytes(shifted), 0, {}};
  Stream t(ibm, ebcdic, PL_STREAM_READ);
  char line[8];
  PLState state = 0;
  EXPECT_EQ(PLReadStringEx(t, ibm, line, &state, 8, PL_EOL_LF), 5);
  EXPECT_EQ(std::string(line, 5), shifted);  // the Ex form keeps the shift bytes
  EXPECT_EQ(state, 0u);
}

TEST_F(Streams, FailedOpeningsLeakNothing) {
  pltest::Heap &heap = session_.heap();
  Pipe pipe;
  long live = heap.live;
  for (long nth : {1, 2}) {
    heap.fail_at = heap.attempts + nth;
    EXPECT_EQ(PLOpenStreamEx(utf8, pipe_read, &pipe, 0, PL_STREAM_READ), nullptr);
    EXPECT_EQ(PLGetError(utf8), PL_ERR_NO_MEMORY);
    EXPECT_EQ(heap.live, live);
  }
  heap.fail_frees = true;
  EXPECT_EQ(PLCloseStream(PLOpenStream(utf8, pipe_write, &pipe, PL_STREAM_WRITE), utf8), 0);
  EXPECT_EQ(PLGetError(utf8), PL_ERR_FREE);
  heap.fail_frees = false;
}

const int kTexts = std::getenv("POLYLOC_FULL_SWEEP") ? 40 : 3;
constexpr size_t kUnits = 300;

Chars packed_chars(const Codeset &set, const Bytes &text, PLState state = 0) {
  Chars chars(text.size() + 1);
  int32_t n = PLMbToWideEx(set.locale, chars.data(), static_cast<int32_t>(chars.size()),
                           reinterpret_cast<const char *>(text.data()), state, static_cast<int32_t>(text.size()), 0);
  chars.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return chars;
}

TEST_F(Streams, CharactersWrittenInPiecesReadBackWhole) {
  for (const Codeset &set : sets_.all()) {
    for (int t = 0; t < kTexts; ++t) {
      Bytes text = pltest::valid_text(random_, set, kUnits);
      text.push_back(0);
      const char *p = reinterpret_cast<const char *>(text.data()), *end = p + text.size() - 1;
      Pipe out = writer(text.size());
      Stream w(set.locale, out, PL_STREAM_WRITE);
      for (PLState state = 0; p < end; p = PLNextCharEx(set.locale, p, state, &state)) {
        bool ex = set.stateful || t % 2;  // the plain form on every other stateless text
        ASSERT_EQ(ex ? PLWriteCharEx(w, set.locale, p, state) : PLWriteChar(w, set.locale, p), 1) << set.name;
      }
      EXPECT_EQ(w.close(), 1);
      text.pop_back();
      EXPECT_EQ(out.data, text) << set.name;
      Pipe in = reader(out.data);
      Stream r(set.locale, in, PL_STREAM_READ, buffer_size());
      Chars back;
      for (PLWChar c; (c = PLReadCharW(r, set.locale)) != kNo;) back.push_back(c);
      EXPECT_EQ(PLGetError(set.locale), PL_OK);
      EXPECT_EQ(back, packed_chars(set, text)) << set.name;
    }
  }
}

TEST_F(Streams, UnitsRoundTripRaw) {
  for (int t = 0; t < 10 * kTexts; ++t) {
    pltest::Units units = pltest::random_units(random_, kUnits), back;
    Pipe out = writer(2 * units.size());
    Stream w(utf8, out, PL_STREAM_WRITE);
    for (uint16_t u : units) ASSERT_EQ(PLWriteCharU(w, utf8, u), 1);
    Pipe in = reader(out.data);
    Stream r(utf8, in, PL_STREAM_READ, buffer_size());
    for (PLUChar u; (u = PLReadCharU(r, utf8)) != 0xFFFF || PLGetError(utf8) == PL_OK;) back.push_back(u);
    EXPECT_EQ(PLGetError(utf8), PL_ERR_END_OF_STREAM);
    EXPECT_EQ(back, units);
  }
}

// The lines of `chars` under `flags`, split the obvious way; `ends` holds the line
// feed, carriage return, line and paragraph separators.
std::vector<Chars> naive_lines(const Chars &chars, const PLWChar (&ends)[4], int32_t flags) {
  std::vector<Chars> lines(1);
  for (size_t i = 0; i < chars.size(); ++i) {
    PLWChar c = chars[i];
    lines.back().push_back(c);
    bool pair = (flags & PL_EOL_CRLF) && c == ends[0] && i > 0 && chars[i - 1] == ends[1];
    if (!pair && !((flags & PL_EOL_LF) && c == ends[0]) && !((flags & PL_EOL_LINE_SEP) && c == ends[2]) &&
        !((flags & PL_EOL_PARA_SEP) && c == ends[3]))
      continue;
    if (flags & PL_READ_STRIP_EOL) lines.back().resize(lines.back().size() - (pair ? 2 : 1));
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

TEST_F(Streams, LinesAreTheNaiveSplit) {
  for (const Codeset &set : sets_.all()) {
    pl::CharsetView view(*set.locale->codeset);
    const PLWChar ends[4] = {view.line_feed_byte(), view.carriage_return_byte(), view.line_separator_byte(),
                             view.paragraph_separator_byte()};
    for (int t = 0; t < kTexts; ++t) {
      // Text with ends of line of every kind in random places, often side by side.
      Chars chars = packed_chars(set, pltest::valid_text(random_, set, kUnits));
      for (int i = 0; i < 40; ++i)
        chars.insert(chars.begin() + static_cast<long>(random_() % (chars.size() + 1)), ends[random_() % 4]);
      Bytes text(chars.size() * 6 + 2);
      text.resize(static_cast<size_t>(PLWideToMb(set.locale, reinterpret_cast<char *>(text.data()),
                                                 static_cast<int32_t>(text.size()), chars.data(),
                                                 static_cast<int32_t>(chars.size()), 0)));
      for (int32_t kind : {PL_EOL_LF, PL_EOL_CRLF, PL_EOL_LINE_SEP, PL_EOL_PARA_SEP, PL_EOL_LF | PL_EOL_CRLF, PL_EOL_ANY}) {
        for (int32_t extra : {0, PL_READ_STRIP_EOL, PL_READ_TERMINATE}) {
          int32_t flags = kind | extra, size = static_cast<int32_t>(text.size()) + 1, cut = extra == PL_READ_TERMINATE;
          std::vector<Chars> by_char, by_byte;
          Pipe in_w = reader(text), in_b = reader(text);
          Stream w(set.locale, in_w, PL_STREAM_READ, buffer_size()), b(set.locale, in_b, PL_STREAM_READ, buffer_size());
          Chars line(static_cast<size_t>(size));
          for (int32_t n; (n = PLReadStringW(w, set.locale, line.data(), size, flags)) >= 0;)
            by_char.emplace_back(line.begin(), line.begin() + n - cut);
          // The Ex form's bytes, read from the state the previous line left.
          Bytes bytes(static_cast<size_t>(size));
          for (PLState state = 0, before = 0;; before = state) {
            int32_t n = PLReadStringEx(b, set.locale, reinterpret_cast<char *>(bytes.data()), &state, size, flags);
            if (n < 0) break;
            by_byte.push_back(packed_chars(set, Bytes(bytes.begin(), bytes.begin() + n - cut), before));
          }
          EXPECT_EQ(PLGetError(set.locale), PL_OK);
          std::vector<Chars> expected = naive_lines(chars, ends, flags);
          EXPECT_EQ(by_char, expected) << set.name << " " << flags;
          EXPECT_EQ(by_byte, expected) << set.name << " " << flags;
        }
      }
    }
  }
}

// Random bytes: the lines read over a large read buffer (in bulk) equal those read over
// a one-byte buffer (a character at a time), in bytes and in characters.
TEST_F(Streams, MalformedLinesDoNotDependOnTheReadBuffer) {
  for (const Codeset &set : sets_.all()) {
    for (int t = 0; t < 2 * kTexts; ++t) {
      Bytes text = pltest::random_bytes(random_, 4 * kUnits);
      for (size_t i = 0; i < text.size(); i += 1 + random_() % 40) text[i] = '\n';
      int32_t flags = PL_EOL_ANY | PL_READ_STRIP_EOL | (t % 2 ? PL_COUNT_CHARS : 0);
      std::vector<Bytes> lines[2];
      for (int32_t buffer : {1, 4096}) {
        Pipe in{text, 0, {}};
        Stream s(set.locale, in, PL_STREAM_READ, buffer);
        Bytes line(4 * 32 + 1);
        for (int32_t n; (n = PLReadString(s, set.locale, reinterpret_cast<char *>(line.data()), 32, flags)) >= 0;) {
          line.back() = static_cast<uint8_t>(n);
          lines[buffer == 1].push_back(line);
          std::fill(line.begin(), line.end(), 0);
        }
      }
      EXPECT_EQ(lines[0], lines[1]) << set.name;
    }
  }
}

}  // namespace
