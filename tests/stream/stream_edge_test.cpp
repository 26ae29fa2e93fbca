// Streams over callbacks that take or deliver a byte at a time, answer 0 or fail
// midway: nothing lost, nothing duplicated, the right codes; push-back, the 80 held
// bytes, shift states of code page 930, directions, flags and failing allocations.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "stream_pipe.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using streamtest::Bytes;
using streamtest::Pipe;
using streamtest::Stream;

constexpr PLWChar kNoChar = static_cast<PLWChar>(-1);
const std::string kText = "a\xC3\xA9\xE2\x82\xAC";  // a, e acute, euro sign
const char *const kChars[] = {"a", "\xC3\xA9", "\xE2\x82\xAC"};
const char *const kEmoji = "\xF0\x9F\x98\x80";
constexpr char SO = '\x0E', SI = '\x0F';

Bytes bytes(const std::string &s) { return Bytes(s.begin(), s.end()); }

class StreamEdges : public testing::Test {
 protected:
  ~StreamEdges() override {
    PLReleaseLocale(utf8);
    PLReleaseLocale(ibm);
  }
  int32_t code(PLLocale *h) { return PLGetError(h); }

  pltest::Session session_{pltest::built_locale_dir()};
  PLLocale *utf8 = PLGetLocale("English_UnitedStates.UTF-8", 0, nullptr);
  PLLocale *ibm = PLGetLocale("Japanese_Japan.IBM930", 0, nullptr);
};

TEST_F(StreamEdges, WritesSurviveShortAndFailingCallbacks) {
  struct Case {
    std::vector<int32_t> script;
    std::vector<int32_t> codes;  // of the three writes
  } cases[] = {
      {{1, 1, 1, 1, 1, 1}, {0, 0, 0}},
      {{0, 0, 1, 0, 0, 2, 0, 1}, {0, 0, 0}},
      {{1, -1}, {0, PL_ERR_STREAM_WRITE, 0}},  // the held byte goes out first
      {{-1, -1, 1, -1}, {PL_ERR_STREAM_WRITE, PL_ERR_STREAM_WRITE, PL_ERR_STREAM_WRITE}},
  };
  for (const Case &c : cases) {
    Pipe pipe{{}, 0, c.script};
    Stream s(utf8, pipe, PL_STREAM_WRITE);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(PLWriteChar(s, utf8, kChars[i]), c.codes[i] == 0 ? 1 : 0);
      EXPECT_EQ(code(utf8), c.codes[i]);
    }
    EXPECT_EQ(PLFlushStream(s, utf8), 1);  // what was held is retried
    EXPECT_EQ(pipe.data, bytes(kText));
  }
}

TEST_F(StreamEdges, HeldBytesStopAtEighty) {
  Pipe pipe{{}, 0, std::vector<int32_t>(30, -1)};
  Stream s(utf8, pipe, PL_STREAM_WRITE);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(PLWriteChar(s, utf8, kEmoji), 0);
  EXPECT_EQ(code(utf8), PL_ERR_STREAM_WRITE);
  EXPECT_EQ(PLWriteChar(s, utf8, kEmoji), 0);  // 84 bytes would be held: dropped whole
  EXPECT_EQ(code(utf8), PL_ERR_BUFFER_TOO_SMALL);
  pipe.script.clear();
  EXPECT_EQ(PLWriteCharW(s, utf8, 'z'), 1);
  std::string expected;
  for (int i = 0; i < 20; ++i) expected += kEmoji;
  EXPECT_EQ(pipe.data, bytes(expected + "z"));
  // A flush that fails drops the held bytes.
  pipe.script = std::vector<int32_t>(pipe.calls + 2, -1);
  EXPECT_EQ(PLWriteCharU(s, utf8, 0x4142), 0);
  EXPECT_EQ(PLFlushStream(s, utf8), 0);
  EXPECT_EQ(code(utf8), PL_ERR_STREAM_FLUSH);
  pipe.script.clear();
  EXPECT_EQ(PLFlushStream(s, utf8), 1);
  EXPECT_EQ(pipe.data.size(), 81u);
}

TEST_F(StreamEdges, ReadsSurviveShortAndFailingCallbacks) {
  struct Step {
    PLWChar c;
    int32_t code;
  };
  struct Case {
    std::string data;
    int32_t buffer;
    std::vector<int32_t> script;
    std::vector<Step> steps;
  } cases[] = {
      {kText, 1, {}, {{'a', 0}, {0xC3A9, 0}, {0xE282AC, 0}, {kNoChar, 0}}},
      {kText, 64, {1, 1, -1}, {{'a', 0}, {kNoChar, PL_ERR_STREAM_READ}, {0xC3A9, 0}}},
      {kText, 2, {1, -1, 1, -1}, {{'a', 0}, {kNoChar, 61}, {kNoChar, 61}, {0xC3A9, 0}, {0xE282AC, 0}}},
      {"a\xE2\x82", 8, {}, {{'a', 0}, {kNoChar, PL_ERR_STREAM_PARTIAL}, {kNoChar, 63}}},
      {"\xE2", 8, {0, 1}, {{kNoChar, 0}, {kNoChar, 63}}},  // more data after an end
  };
  for (const Case &c : cases) {
    Pipe pipe{bytes(c.data), 0, c.script};
    Stream s(utf8, pipe, PL_STREAM_READ, c.buffer);
    for (const Step &step : c.steps) {
      EXPECT_EQ(PLReadCharW(s, utf8), step.c) << c.data;
      EXPECT_EQ(code(utf8), step.code);
    }
  }
}

TEST_F(StreamEdges, RawUnitsAndTheirEnd) {
  Pipe pipe{bytes("abc"), 0, {}};
  Stream s(utf8, pipe, PL_STREAM_READ);
  EXPECT_EQ(PLReadCharU(s, utf8), 0x6261);
  EXPECT_EQ(PLReadCharU(s, utf8), 0xFFFF);
  EXPECT_EQ(code(utf8), PL_ERR_STREAM_PARTIAL);  // the odd byte stays for more data
  pipe.data.push_back('d');
  EXPECT_EQ(PLReadCharU(s, utf8), 0x6463);
  EXPECT_EQ(PLReadCharU(s, utf8), 0xFFFF);
  EXPECT_EQ(code(utf8), PL_ERR_END_OF_STREAM);
}

TEST_F(StreamEdges, PushedBackCharactersComeBackInReverse) {
  Pipe pipe{bytes("z"), 0, {}};
  Stream s(utf8, pipe, PL_STREAM_READ);
  for (const char *c : kChars) EXPECT_EQ(PLUngetChar(s, utf8, c), 1);
  EXPECT_EQ(PLUngetCharU(s, utf8, 0x4241), 1);
  for (PLWChar c : {0x41u, 0x42u, 0xE282ACu, 0xC3A9u, 0x61u, 0x7Au}) EXPECT_EQ(PLReadCharW(s, utf8), c);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(PLUngetCharW(s, utf8, 0xF09F9880), 1);
  EXPECT_EQ(PLUngetChar(s, utf8, "x"), 0);
  EXPECT_EQ(code(utf8), PL_ERR_BUFFER_TOO_SMALL);
}

// Code page 930: A, a shifted run of two characters, B.
const std::string kMixed = std::string("\xC1") + SO + "\x44\x5A\x44\x5B" + SI + "\xC2";

TEST_F(StreamEdges, PushBackAcrossShiftChanges) {
  const std::vector<PLWChar> chars = {0xC1, 0x445A, 0x445B, 0xC2};
  for (int32_t buffer : {1, 3, 64}) {
    Pipe pipe{bytes(kMixed), 0, {}};
    Stream s(ibm, pipe, PL_STREAM_READ, buffer);
    // Read two, push them back in reverse, read all.
    EXPECT_EQ(PLReadCharW(s, ibm), chars[0]);
    EXPECT_EQ(PLReadCharW(s, ibm), chars[1]);
    EXPECT_EQ(PLUngetCharEx(s, ibm, "\x44\x5A", 1), 1);
    EXPECT_EQ(PLUngetCharW(s, ibm, chars[0]), 1);
    for (PLWChar c : chars) EXPECT_EQ(PLReadCharW(s, ibm), c);
    // Every character pushed back: the shift bytes between them are put back.
    for (auto c = chars.rbegin(); c != chars.rend(); ++c) EXPECT_EQ(PLUngetCharW(s, ibm, *c), 1);
    for (PLWChar c : chars) EXPECT_EQ(PLReadCharW(s, ibm), c);
    // A single-byte character pushed back into shifted text, nothing held.
    pipe.data = bytes(kMixed), pipe.at = 0;
    EXPECT_EQ(PLFlushStream(s, ibm), 1);
    for (int i = 0; i < 2; ++i) PLReadCharW(s, ibm);
    EXPECT_EQ(PLUngetChar(s, ibm, "\xC1"), 1);
    for (PLWChar c : {0xC1u, 0x445Bu, 0xC2u, kNoChar}) EXPECT_EQ(PLReadCharW(s, ibm), c);
  }
}

TEST_F(StreamEdges, ShiftedOutputEndsWithOneShiftIn) {
  struct Case {
    std::vector<std::pair<const char *, PLState>> chars;
    std::string written;
  } cases[] = {
      {{{"\x44\x5A", 1}, {"\x44\x5B", 1}}, std::string() + SO + "\x44\x5A\x44\x5B" + SI},
      {{{"\xC1", 0}, {"\x44\x5A", 1}, {"\xC2", 0}}, std::string("\xC1") + SO + "\x44\x5A" + SI + "\xC2"},
      {{{"\xC1", 0}}, "\xC1"},
  };
  for (const Case &c : cases) {
    Pipe pipe;
    Stream s(ibm, pipe, PL_STREAM_WRITE);
    for (auto [ch, state] : c.chars) EXPECT_EQ(PLWriteCharEx(s, ibm, ch, state), 1);
    EXPECT_EQ(s.close(), 1);
    EXPECT_EQ(pipe.data, bytes(c.written));
  }
}

TEST_F(StreamEdges, DirectionsAndFlags) {
  Pipe pipe;
  EXPECT_EQ(PLOpenStream(utf8, streamtest::pipe_read, &pipe, 0x80000052), nullptr);
  EXPECT_EQ(code(utf8), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLOpenStream(utf8, nullptr, &pipe, PL_STREAM_READ), nullptr);
  Stream in(utf8, pipe, PL_STREAM_READ), out(utf8, pipe, PL_STREAM_WRITE);
  char line[8];
  struct Call {
    std::function<int32_t()> run;
    int32_t result, code;
  } calls[] = {
      {[&] { return PLWriteChar(in, utf8, "a"); }, 0, PL_ERR_STREAM_DIRECTION},
      {[&] { return PLWriteCharU(in, utf8, 'a'); }, 0, PL_ERR_STREAM_DIRECTION},
      {[&] { return static_cast<int32_t>(PLReadCharW(out, utf8)); }, -1, PL_ERR_STREAM_DIRECTION},
      {[&] { return int32_t{PLReadCharU(out, utf8)}; }, 0xFFFF, PL_ERR_STREAM_DIRECTION},
      {[&] { return PLUngetCharW(out, utf8, 'a'); }, 0, PL_ERR_STREAM_DIRECTION},
      {[&] { return PLReadString(out, utf8, line, 8, 0); }, -2, PL_ERR_STREAM_DIRECTION},
      {[&] { return PLReadString(in, utf8, line, 8, 0x1000); }, -2, PL_ERR_ARGUMENT},
      {[&] { return PLReadStringU(in, utf8, nullptr, 8, 0); }, -2, PL_ERR_ARGUMENT},
      {[&] { return PLReadStringW(in, utf8, nullptr, 0, PL_READ_TERMINATE); }, -2, PL_ERR_ARGUMENT},
      {[&] { return PLCloseStream(nullptr, utf8); }, 0, PL_ERR_ARGUMENT},
  };
  for (size_t i = 0; i < std::size(calls); ++i) {
    EXPECT_EQ(calls[i].run(), calls[i].result) << i;
    EXPECT_EQ(code(utf8), calls[i].code) << i;
  }
}

TEST_F(StreamEdges, LineEnds) {
  struct Case {
    std::string data;
    int32_t size, flags;
    std::vector<std::string> lines;  // read until -1
  } cases[] = {
      {"ab\r\ncd", 16, PL_EOL_CRLF, {"ab\r\n", "cd"}},
      {"ab\r\ncd\r", 16, PL_EOL_CRLF | PL_READ_STRIP_EOL, {"ab", "cd\r"}},
      {"ab\rc\n", 16, PL_EOL_CRLF | PL_READ_STRIP_EOL, {"ab\rc\n"}},
      {"ab\ncd", 2, PL_EOL_LF | PL_READ_STRIP_EOL, {"ab", "cd"}},  // full, then the end consumed
      {"ab\r\ncd", 2, PL_EOL_CRLF | PL_READ_STRIP_EOL, {"ab", "cd"}},
      {"abc\n", 3, PL_EOL_LF | PL_READ_TERMINATE, {"ab", "c\n"}},
      {"\n\nx", 4, PL_EOL_LF | PL_READ_STRIP_EOL, {"", "", "x"}},
  };
  for (const Case &c : cases) {
    Pipe pipe{bytes(c.data), 0, {}};
    Stream s(utf8, pipe, PL_STREAM_READ);
    std::vector<std::string> lines;
    char buffer[16];
    for (int32_t n; (n = PLReadString(s, utf8, buffer, c.size, c.flags)) >= 0;)
      lines.emplace_back(buffer, n - ((c.flags & PL_READ_TERMINATE) ? 1 : 0));
    EXPECT_EQ(code(utf8), PL_OK);
    EXPECT_EQ(lines, c.lines) << c.data;
  }
  // The UTF-16 form ends lines at U+2028.
  Pipe pipe{bytes(std::string("a\0\x28\x20" "b\0", 6)), 0, {}};
  Stream s(utf8, pipe, PL_STREAM_READ);
  PLUChar units[4];
  EXPECT_EQ(PLReadStringU(s, utf8, units, 4, PL_EOL_LINE_SEP), 2);
  EXPECT_EQ(units[1], 0x2028);
  // Shifted code page 930: the pair 00 25 is a character, not the line feed 25; the Ex
  // form stores the shift bytes.
  const std::string shifted("\x0E\x00\x25\x0F\x25", 5);
  Pipe ebcdic{bytes(shifted), 0, {}};
  Stream t(ibm, ebcdic, PL_STREAM_READ);
  char line[8];
  PLState state = 0;
  EXPECT_EQ(PLReadStringEx(t, ibm, line, &state, 8, PL_EOL_LF), 5);
  EXPECT_EQ(std::string(line, 5), shifted);
  EXPECT_EQ(state, 0u);
}

TEST_F(StreamEdges, FailedOpeningsLeakNothing) {
  pltest::Heap &heap = session_.heap();
  Pipe pipe;
  long live = heap.live;
  for (long nth : {1, 2}) {
    heap.fail_at = heap.attempts + nth;
    EXPECT_EQ(PLOpenStreamEx(utf8, streamtest::pipe_read, &pipe, 0, PL_STREAM_READ), nullptr);
    EXPECT_EQ(code(utf8), PL_ERR_NO_MEMORY);
    EXPECT_EQ(heap.live, live);
  }
  heap.fail_frees = true;
  PLStream *s = PLOpenStream(utf8, streamtest::pipe_write, &pipe, PL_STREAM_WRITE);
  EXPECT_EQ(PLCloseStream(s, utf8), 0);
  EXPECT_EQ(code(utf8), PL_ERR_FREE);
  heap.fail_frees = false;
}

}  // namespace
