// Round trips over every code set of the build-tree locale directory (fixed seed):
// random text written a character at a time to a callback that takes random short
// counts reads back whole from one that delivers random short counts; raw units do the
// same; lines read under each end-of-line convention equal a naive split of the text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "charset/charset_view.h"
#include "frame/handle.h"
#include "conversion_api/codesets.h"
#include "stream_pipe.h"
#include "support/locale_dir.h"

namespace {

using pltest::Codeset;
using streamtest::Bytes;
using streamtest::Pipe;
using streamtest::Stream;
using Chars = std::vector<PLWChar>;

const int kTexts = std::getenv("POLYLOC_FULL_SWEEP") ? 40 : 3;
constexpr size_t kUnits = 300;

Chars packed_chars(const Codeset &set, const Bytes &text, PLState state = 0) {
  Chars chars(text.size() + 1);
  int32_t n = PLMbToWideEx(set.locale, chars.data(), static_cast<int32_t>(chars.size()),
                           reinterpret_cast<const char *>(text.data()), state,
                           static_cast<int32_t>(text.size()), 0);
  chars.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return chars;
}

Bytes encoded(const Codeset &set, const Chars &chars) {
  Bytes out(chars.size() * 6 + 2);
  int32_t n = PLWideToMb(set.locale, reinterpret_cast<char *>(out.data()),
                         static_cast<int32_t>(out.size()), chars.data(),
                         static_cast<int32_t>(chars.size()), 0);
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

Chars read_all(const Codeset &set, PLStream *s) {
  Chars chars;
  for (PLWChar c; (c = PLReadCharW(s, set.locale)) != static_cast<PLWChar>(-1);) chars.push_back(c);
  EXPECT_EQ(PLGetError(set.locale), PL_OK);
  return chars;
}

class StreamProperties : public testing::Test {
 protected:
  Pipe reader(const Bytes &data) { return {data, 0, streamtest::short_counts(random_, data.size(), 1)}; }
  Pipe writer(size_t bytes) { return {{}, 0, streamtest::short_counts(random_, 2 * bytes, 0)}; }
  // Read buffers from a byte, which splits every character, to ones that hold a text.
  int32_t buffer_size() {
    const int32_t sizes[] = {1, 2, 3, 5, 8, 64, 4096};
    return sizes[random_() % std::size(sizes)];
  }

  pltest::Session session_{pltest::built_locale_dir()};
  pltest::Codesets sets_{session_};
  std::mt19937 random_{20261206};
};

TEST_F(StreamProperties, CharactersWrittenInPiecesReadBackWhole) {
  for (const Codeset &set : sets_.all()) {
    for (int t = 0; t < kTexts; ++t) {
      Bytes text = pltest::valid_text(random_, set, kUnits);
      text.push_back(0);
      const char *p = reinterpret_cast<const char *>(text.data()), *end = p + text.size() - 1;
      Pipe out = writer(text.size());
      Stream w(set.locale, out, PL_STREAM_WRITE);
      for (PLState state = 0; p < end;) {
        if (set.stateful) {
          ASSERT_EQ(PLWriteCharEx(w, set.locale, p, state), 1) << set.name;
          p = PLNextCharEx(set.locale, p, state, &state);
        } else {
          ASSERT_EQ(PLWriteChar(w, set.locale, p), 1) << set.name;
          p = PLNextChar(set.locale, p);
        }
      }
      EXPECT_EQ(w.close(), 1);
      text.pop_back();
      EXPECT_EQ(out.data, text) << set.name;
      Pipe in = reader(out.data);
      Stream r(set.locale, in, PL_STREAM_READ, buffer_size());
      EXPECT_EQ(read_all(set, r), packed_chars(set, text)) << set.name;
    }
  }
}

TEST_F(StreamProperties, UnitsRoundTripRaw) {
  PLLocale *h = sets_.all().front().locale;
  for (int t = 0; t < 10 * kTexts; ++t) {
    pltest::Units units = pltest::random_units(random_, kUnits);
    Pipe out = writer(2 * units.size());
    Stream w(h, out, PL_STREAM_WRITE);
    for (uint16_t u : units) ASSERT_EQ(PLWriteCharU(w, h, u), 1);
    Pipe in = reader(out.data);
    Stream r(h, in, PL_STREAM_READ, buffer_size());
    pltest::Units back;
    for (PLUChar u; (u = PLReadCharU(r, h)) != 0xFFFF || PLGetError(h) == PL_OK;) back.push_back(u);
    EXPECT_EQ(PLGetError(h), PL_ERR_END_OF_STREAM);
    EXPECT_EQ(back, units);
  }
}

struct Eol {
  PLWChar lf, cr, ls, ps;
};

// The lines of `chars` under `flags`, split the obvious way.
std::vector<Chars> naive_lines(const Chars &chars, const Eol &eol, int32_t flags) {
  std::vector<Chars> lines(1);
  for (size_t i = 0; i < chars.size(); ++i) {
    PLWChar c = chars[i];
    Chars &line = lines.back();
    line.push_back(c);
    bool pair = (flags & PL_EOL_CRLF) && c == eol.lf && i > 0 && chars[i - 1] == eol.cr;
    bool ends = pair || ((flags & PL_EOL_LF) && c == eol.lf) ||
                ((flags & PL_EOL_LINE_SEP) && c == eol.ls) || ((flags & PL_EOL_PARA_SEP) && c == eol.ps);
    if (!ends) continue;
    if (flags & PL_READ_STRIP_EOL) line.resize(line.size() - (pair ? 2 : 1));
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

TEST_F(StreamProperties, LinesAreTheNaiveSplit) {
  const int32_t kinds[] = {PL_EOL_LF, PL_EOL_CRLF, PL_EOL_LINE_SEP, PL_EOL_PARA_SEP,
                           PL_EOL_LF | PL_EOL_CRLF, PL_EOL_ANY};
  for (const Codeset &set : sets_.all()) {
    pl::CharsetView view(*set.locale->codeset);
    Eol eol{view.line_feed_byte(), view.carriage_return_byte(), view.line_separator_byte(),
            view.paragraph_separator_byte()};
    for (int t = 0; t < kTexts; ++t) {
      // Text with ends of line of every kind in random places, often side by side.
      Chars chars = packed_chars(set, pltest::valid_text(random_, set, kUnits));
      for (int i = 0; i < 40; ++i) {
        const PLWChar ends[] = {eol.lf, eol.cr, eol.ls, eol.ps};
        chars.insert(chars.begin() + static_cast<long>(random_() % (chars.size() + 1)), ends[random_() % 4]);
      }
      Bytes text = encoded(set, chars);
      for (int32_t kind : kinds) {
        for (int32_t extra : {0, PL_READ_STRIP_EOL, PL_READ_TERMINATE}) {
          int32_t flags = kind | extra, size = static_cast<int32_t>(chars.size()) + 1;
          std::vector<Chars> expected = naive_lines(chars, eol, flags), by_char, by_byte;
          Pipe in_w = reader(text), in_b = reader(text);
          Stream w(set.locale, in_w, PL_STREAM_READ, buffer_size());
          Stream b(set.locale, in_b, PL_STREAM_READ, buffer_size());
          Chars line(static_cast<size_t>(size));
          for (int32_t n; (n = PLReadStringW(w, set.locale, line.data(), size, flags)) >= 0;)
            by_char.emplace_back(line.begin(), line.begin() + n - (extra == PL_READ_TERMINATE));
          // The Ex form's bytes, read from the state the previous line left.
          Bytes bytes(chars.size() * 6 + 2);
          PLState state = 0, before = 0;
          for (int32_t n; (n = PLReadStringEx(b, set.locale, reinterpret_cast<char *>(bytes.data()),
                                              &state, static_cast<int32_t>(bytes.size()), flags)) >= 0;
               before = state)
            by_byte.push_back(packed_chars(set, Bytes(bytes.begin(), bytes.begin() + n - (extra == PL_READ_TERMINATE)), before));
          EXPECT_EQ(PLGetError(set.locale), PL_OK);
          EXPECT_EQ(by_char, expected) << set.name << " " << flags;
          EXPECT_EQ(by_byte, expected) << set.name << " " << flags;
        }
      }
    }
  }
}

// Random bytes: the lines read over a large read buffer (in bulk) equal those read over
// a one-byte buffer (a character at a time), in bytes and in characters.
TEST_F(StreamProperties, MalformedLinesDoNotDependOnTheReadBuffer) {
  for (const Codeset &set : sets_.all()) {
    for (int t = 0; t < 2 * kTexts; ++t) {
      Bytes text = pltest::random_bytes(random_, 4 * kUnits);
      for (size_t i = 0; i < text.size(); i += 1 + random_() % 40) text[i] = '\n';
      int32_t flags = PL_EOL_ANY | PL_READ_STRIP_EOL | (t % 2 ? PL_COUNT_CHARS : 0);
      std::vector<Bytes> lines[2];
      for (int32_t buffer : {1, 4096}) {
        Pipe in{text, 0, {}};
        Stream s(set.locale, in, PL_STREAM_READ, buffer);
        Bytes line(4 * 32);
        for (int32_t n; (n = PLReadString(s, set.locale, reinterpret_cast<char *>(line.data()), 32, flags)) >= 0;) {
          lines[buffer == 1].push_back(line);
          lines[buffer == 1].back().push_back(static_cast<uint8_t>(n));
          std::fill(line.begin(), line.end(), 0);
        }
      }
      EXPECT_EQ(lines[0], lines[1]) << set.name;
    }
  }
}

}  // namespace
