// PLTimeToString and its forms: directives, field checks and format errors by table,
// sizes and truncation, character counting, EBCDIC and code page 930 output, the
// forms' agreement through conversion, nesting, and no allocation.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string, std::u16string;

std::tm at(int year, int mon, int mday, int hour = 13, int min = 5, int sec = 9) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = mon - 1;
  t.tm_mday = mday;
  t.tm_hour = hour;
  t.tm_min = min;
  t.tm_sec = sec;
  time_t seconds = timegm(&t);
  gmtime_r(&seconds, &t);
  return t;
}

struct Out {
  int32_t result, code;
  string bytes;  // the first `result` bytes
  bool guard;    // nothing written behind the buffer
};

constexpr char kGuard = static_cast<char>(0xA5);

// `room`: the buffer's bytes (outSize unless sizes count characters).
Out format(PLLocale *h, const std::tm &t, const string &fmt, int32_t size, int32_t flags = 0,
           int32_t room = -1, int32_t fmt_len = -1, bool ex = false, PLState out_state = 0) {
  std::vector<char> buffer(static_cast<size_t>(room < 0 ? size : room) + 16, kGuard);
  int32_t r = ex ? PLTimeToStringEx(h, &t, buffer.data(), out_state, size, fmt.c_str(), 0, fmt_len, flags)
                 : PLTimeToString(h, &t, buffer.data(), size, fmt.c_str(), fmt_len, flags);
  Out out{r, PLGetError(h), string(buffer.data(), r > 0 ? static_cast<size_t>(r) : 0), true};
  for (size_t i = buffer.size() - 16; i < buffer.size(); ++i) out.guard &= buffer[i] == kGuard;
  return out;
}

class TimeFormat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { session = new pltest::Session(pltest::built_locale_dir()); }
  static void TearDownTestSuite() {
    for (PLLocale *h : opened) PLReleaseLocale(h);
    opened.clear();
    delete session;
  }
  static PLLocale *open(const char *name) {
    int32_t error = 0;
    PLLocale *h = PLGetLocale(name, 0, &error);
    EXPECT_NE(h, nullptr) << name << " " << error;
    opened.push_back(h);
    return h;
  }
  // UTF-16 text in the locale's code set (shifted runs closed).
  static string bytes(PLLocale *h, const u16string &text) {
    char out[256];
    int32_t n = PLUnicodeToString(h, out, sizeof out, reinterpret_cast<const PLUChar *>(text.c_str()),
                                  static_cast<int32_t>(text.size()), 0);
    return string(out, n > 0 ? static_cast<size_t>(n) : 0);
  }
  static inline pltest::Session *session;
  static inline std::vector<PLLocale *> opened;
};

struct Row {
  const char *fmt;
  std::tm time;
  const char *expected;
  int32_t result;  // -1 or the length of `expected`
  int32_t code;
};

std::tm with(std::tm t, int std::tm::*field, int value) {
  t.*field = value;
  return t;
}

TEST_F(TimeFormat, DirectivesInEnglish) {
  PLLocale *h = open("English_UnitedStates.MS1252");
  std::tm t = at(2008, 12, 31, 0, 7, 3);  // a Wednesday, yday 365
  const Row rows[] = {
      {"%a %A %b %h %B %p", t, "Wed Wednesday Dec Dec December AM", 0, 0},
      {"%c|%#c", t, "12/31/08 12:07:03 AM|Wednesday, December 31, 2008 12:07:03 AM", 0, 0},
      {"%C %d %e %H %I %j %k %l %m %M %S", t, "20 31 31 00 12 366  0 12 12 07 03", 0, 0},
      {"%D|%#D|%R|%#R|%T|%#T", t, "12/31/08|12/31/08|00:07|0:7|00:07:03|0:7:3", 0, 0},
      {"%r|%x|%#x|%X", t, "12:07:03 AM|12/31/08|Wednesday, December 31, 2008|12:07:03 AM", 0, 0},
      {"%u %w %U %W %V %y %Y %%%t.", t, "4 3 52 52 01 08 2008 %\t.", 0, 0},
      {"%Ey %Oy %Od %EY %EC %Ec %Ex %EX %OH %OI %Om %OM %OS %OU %Ow %OW %Oe", t,
       "08 08 31 2008 20 12/31/08 12:07:03 AM 12/31/08 12:07:03 AM 00 12 12 07 03 52 3 52 31", 0, 0},
      {"%d|%#d|%e|%#e|%#j|%#Y", at(2005, 1, 7, 9), "07|7| 7| 7|7|2005", 0, 0},
      {"%I %l %#I %k", at(2005, 1, 7, 9), "09  9 9  9", 0, 0},
      {"%u %w %V %U %W", at(2005, 1, 2), "1 0 53 01 00", 0, 0},
      {"%V", at(2005, 1, 1), "53", 0, 0},
      {"%d", with(t, &std::tm::tm_mday, 0), "00", 0, 0},
      {"%Y %#Y %y", with(t, &std::tm::tm_year, 10445), "2345 2345 45", 0, 0},
      {"%C", with(t, &std::tm::tm_year, 10445), "", -1, PL_ERR_NOT_FOUND},
      {"%#Y %Y %y", with(t, &std::tm::tm_year, 5 - 1900), "5 0005 05", 0, 0},
      {"%Y %y", with(t, &std::tm::tm_year, -1905), "0005 05", 0, 0},
      {"%z%Z", with(t, &std::tm::tm_isdst, 7), "", 0, 0},
      {"%S", with(t, &std::tm::tm_sec, 60), "", -1, PL_ERR_NOT_FOUND},
      {"%M", with(t, &std::tm::tm_min, -1), "", -1, PL_ERR_NOT_FOUND},
      {"%a", with(t, &std::tm::tm_wday, 7), "", -1, PL_ERR_NOT_FOUND},
      {"%B", with(t, &std::tm::tm_mon, 12), "", -1, PL_ERR_NOT_FOUND},
      {"%p", with(t, &std::tm::tm_hour, 24), "", -1, PL_ERR_NOT_FOUND},
      {"%j", with(t, &std::tm::tm_yday, 366), "", -1, PL_ERR_NOT_FOUND},
      {"%U", with(t, &std::tm::tm_wday, -1), "", -1, PL_ERR_NOT_FOUND},
      {"%C", with(t, &std::tm::tm_year, -1850), "", -1, PL_ERR_NOT_FOUND},
      {"%Ed", t, "", -1, PL_ERR_FORMAT},
      {"%Ek", t, "", -1, PL_ERR_FORMAT},
      {"%Oa", t, "", -1, PL_ERR_FORMAT},
      {"%E#y", t, "", -1, PL_ERR_FORMAT},
      {"%EE", t, "", -1, PL_ERR_FORMAT},
      {"%q", t, "", -1, PL_ERR_FORMAT},
      {"ab%", t, "", -1, PL_ERR_FORMAT},
      {"ab%#", t, "", -1, PL_ERR_FORMAT},
      {"ab%#O", t, "", -1, PL_ERR_FORMAT},
  };
  for (const Row &row : rows) {
    Out out = format(h, row.time, row.fmt, 200);
    int32_t result = row.result < 0 ? -1 : static_cast<int32_t>(strlen(row.expected));
    EXPECT_EQ(out.result, result) << row.fmt;
    EXPECT_EQ(out.code, row.code) << row.fmt;
    if (result >= 0) {
      EXPECT_EQ(out.bytes, row.expected) << row.fmt;
    }
  }
  // %n writes the line ends the flags choose; none: carriage return and line feed.
  EXPECT_EQ(format(h, t, "a%nb", 10).bytes, "a\r\nb");
  EXPECT_EQ(format(h, t, "a%nb", 10, PL_EOL_LF).bytes, "a\nb");
  EXPECT_EQ(format(h, t, "%n", 10, PL_EOL_LF | PL_EOL_CRLF).bytes, "\n\r\n");
}

struct SizeRow {
  const char *fmt;
  int32_t size, flags;
  const char *expected;  // with the terminator where one is written
  int32_t result, code;
};

TEST_F(TimeFormat, SizesAndTruncation) {
  PLLocale *h = open("English_UnitedStates.MS1252");
  std::tm t = at(2008, 12, 31, 14, 7, 3);
  const SizeRow rows[] = {
      {"%H", 2, 0, "14", 2, PL_ERR_BUFFER_TOO_SMALL},   // a number that exactly fills
      {"%Y", 2, 0, "20", 2, PL_ERR_BUFFER_TOO_SMALL},
      {"%H:%M", 3, 0, "14:", 3, PL_ERR_BUFFER_TOO_SMALL},
      {"ab", 2, 0, "ab", 2, PL_OK},                     // literals that exactly fill
      {"%A", 9, 0, "Wednesday", 9, PL_OK},              // a name that exactly fits
      {"%A", 4, 0, "Wedn", 4, PL_ERR_BUFFER_TOO_SMALL},
      {"%A", 5, PL_TERMINATE, "Wedn\0", 5, PL_ERR_BUFFER_TOO_SMALL},
      {"%H", 1, PL_TERMINATE, "\0", 1, PL_ERR_BUFFER_TOO_SMALL},
      {"", 1, PL_TERMINATE, "\0", 1, PL_OK},
      {"", 5, 0, "", 0, PL_OK},
      {"%H", 0, 0, "", 0, PL_ERR_BUFFER_TOO_SMALL},
      {"%H", 8, 0x10, "", -1, PL_ERR_ARGUMENT},
      {"%H", 8, 0x1000, "", -1, PL_ERR_ARGUMENT},
      {"%c", 8, 0, "12/31/08", 8, PL_ERR_BUFFER_TOO_SMALL},  // the date part fills the output
      {"%x%%", 9, PL_TERMINATE, "12/31/08\0", 9, PL_ERR_BUFFER_TOO_SMALL},
      {"%H%%", 4, PL_TERMINATE, "14%\0", 4, PL_OK},
  };
  for (const SizeRow &row : rows) {
    Out out = format(h, t, row.fmt, row.size, row.flags);
    EXPECT_EQ(out.result, row.result) << row.fmt << " " << row.size;
    EXPECT_EQ(out.code, row.code) << row.fmt << " " << row.size;
    if (row.result > 0) {
      EXPECT_EQ(out.bytes, string(row.expected, static_cast<size_t>(row.result))) << row.fmt;
    }
    EXPECT_TRUE(out.guard) << row.fmt;
  }
  // A format length stops the format; characters with PL_COUNT_CHARS.
  EXPECT_EQ(format(h, t, "%H:%M", 10, 0, -1, 3).bytes, "14:");
}

TEST_F(TimeFormat, CountingCharactersInAMultibyteLocale) {
  PLLocale *h = open("Japanese_Japan.UTF-8");
  std::tm t = at(2008, 12, 31, 14, 7, 3);
  string wednesday = bytes(h, u"水曜日"), year = bytes(h, u"年");
  Out whole = format(h, t, "%A", 4, PL_COUNT_CHARS, 64);
  EXPECT_EQ(whole.result, 3);
  EXPECT_EQ(string(whole.bytes.data(), 3), string(wednesday.data(), 3));
  Out cut = format(h, t, "%A", 2, PL_COUNT_CHARS | PL_TERMINATE, 64);
  EXPECT_EQ(cut.result, 2);
  EXPECT_EQ(cut.code, PL_ERR_BUFFER_TOO_SMALL);
  // A format length in characters: the first two of "年年%Y".
  Out two = format(h, t, year + year + "%Y", 10, PL_COUNT_CHARS, 64, 2);
  EXPECT_EQ(two.result, 2);
  // Byte sizes never split a character.
  Out bytes_cut = format(h, t, "%A", 5, 0);
  EXPECT_EQ(bytes_cut.bytes, wednesday.substr(0, 3));
  EXPECT_EQ(bytes_cut.code, PL_ERR_BUFFER_TOO_SMALL);
  // A format that ends inside a character ends before it.
  EXPECT_EQ(format(h, t, "%H" + year.substr(0, 2), 10).bytes, "14");
  // Character mode writes at most 512 bytes.
  string many;
  for (int i = 0; i < 100; ++i) many += "%A";
  EXPECT_EQ(format(h, t, many, 400, PL_COUNT_CHARS, 2048).result, 512 / 3);
}

TEST_F(TimeFormat, EbcdicOutput) {
  PLLocale *h = open("English_UnitedStates.IBM037");
  std::tm t = at(2008, 12, 31, 14, 7, 3);
  Out out = format(h, t, bytes(h, u"%H%t%a") + "\x6C\x6C", 20);
  EXPECT_EQ(out.bytes, "\xF1\xF4\x05" + bytes(h, u"Wed") + "\x6C");
  EXPECT_EQ(format(h, t, bytes(h, u"%e|%D"), 20).bytes, bytes(h, u"31|12/31/08"));
  EXPECT_EQ(format(h, at(2008, 12, 3), bytes(h, u"%e"), 20).bytes, "\x40\xF3");
  EXPECT_EQ(format(h, t, "%H", 20).bytes, "%H");  // an ASCII % is no directive there
}

TEST_F(TimeFormat, CodePage930ShiftBytes) {
  PLLocale *h = open("Japanese_Japan.IBM930");
  std::tm t = at(2008, 12, 31, 14, 7, 3);
  const char si = 0x0F;
  // The Ex form finds 930's own small letters; the base form does not.
  string fmt = bytes(h, u"%Y年%m月%a");
  Out ex = format(h, t, fmt, 40, PL_TERMINATE, -1, -1, true);
  EXPECT_EQ(ex.bytes, bytes(h, u"2008年12月水") + string(1, '\0'));
  EXPECT_EQ(format(h, t, bytes(h, u"%m"), 40, 0).result, -1);
  // A shifted end: closed with a shift-in before the terminator; when the output is
  // exactly full, the last double-byte character goes first.
  string year = bytes(h, u"年");  // SO, two bytes, SI
  ASSERT_EQ(year.size(), 4u);
  Out closed = format(h, t, bytes(h, u"%Y") + year.substr(0, 3), 10, PL_TERMINATE, -1, -1, true);
  EXPECT_EQ(closed.bytes, "\xF2\xF0\xF0\xF8" + year + string(1, '\0'));
  Out full = format(h, t, bytes(h, u"%Y") + year.substr(0, 3) + year.substr(1, 2), 9, PL_TERMINATE,
                    -1, -1, true);
  EXPECT_EQ(full.bytes, "\xF2\xF0\xF0\xF8" + year + string(1, '\0'));
  Out dropped = format(h, t, bytes(h, u"%Y") + year.substr(0, 3), 8, PL_TERMINATE, -1, -1, true);
  EXPECT_EQ(dropped.bytes, string("\xF2\xF0\xF0\xF8\0", 5));
  // A double-byte format start, and a single-byte character after it.
  std::vector<char> out(16, kGuard);
  int32_t n = PLTimeToStringEx(h, &t, out.data(), 0, 16, (year.substr(1, 2) + si + "\x6C\x6C").c_str(), 1, -1, 0);
  EXPECT_EQ(string(out.data(), static_cast<size_t>(n)), year.substr(0, 3) + si + "\x6C");
  // Characters counted with shift bytes as zero width.
  Out chars = format(h, t, fmt, 6, PL_COUNT_CHARS | PL_TERMINATE, 64, -1, true);
  EXPECT_EQ(chars.result, 6);
  // The W form: packed units, 930's letters.
  std::vector<PLWChar> wfmt(32), wout(32);
  int32_t wn = PLMbToWide(h, wfmt.data(), 32, fmt.c_str(), static_cast<int32_t>(fmt.size()), 0);
  int32_t wr = PLTimeToStringW(h, &t, wout.data(), 32, wfmt.data(), wn, 0);
  std::vector<PLWChar> expected(32);
  string text = bytes(h, u"2008年12月水");
  int32_t en = PLMbToWide(h, expected.data(), 32, text.c_str(), static_cast<int32_t>(text.size()), 0);
  ASSERT_EQ(wr, en);
  EXPECT_TRUE(std::equal(wout.begin(), wout.begin() + wr, expected.begin()));
}

// Formats of every directive, random times: the U and W forms give the base form's
// text converted.
TEST_F(TimeFormat, FormsAgreeThroughConversion) {
  const char *directives[] = {"a", "A", "b", "B", "c", "#c", "C", "d", "#d", "D", "e", "H", "I",
                              "j", "k", "l", "m", "M", "n", "p", "r", "R", "S", "t", "T", "u",
                              "U", "V", "w", "W", "x", "#x", "X", "y", "Y", "Z", "%"};
  std::mt19937 random(7);
  setenv("TZ", "EST5EDT", 1);
  tzset();
  for (const char *name : {"English_UnitedStates.MS1252", "German_Germany.UTF-8", "Japanese_Japan.MS932",
                           "Russian_Russia.KOI8-R"}) {
    PLLocale *h = open(name);
    for (int i = 0; i < 300; ++i) {
      std::tm t = at(1900 + static_cast<int>(random() % 300), 1 + static_cast<int>(random() % 12),
                     1 + static_cast<int>(random() % 28), static_cast<int>(random() % 24),
                     static_cast<int>(random() % 60), static_cast<int>(random() % 60));
      string fmt = bytes(h, u"<");
      for (int k = 0; k < 3; ++k) fmt += string("%") + directives[random() % std::size(directives)] + "-";
      char base[512];
      int32_t n = PLTimeToString(h, &t, base, sizeof base, fmt.c_str(), -1, 0);
      ASSERT_GT(n, 0) << fmt;
      PLUChar expected_u[512], u[512], ufmt[64];
      int32_t en = PLStringToUnicode(expected_u, 512, h, base, n, 0);
      int32_t fn = PLStringToUnicode(ufmt, 64, h, fmt.c_str(), static_cast<int32_t>(fmt.size()), 0);
      int32_t un = PLTimeToStringU(h, &t, u, 512, ufmt, fn, 0);
      ASSERT_EQ(un, en) << name << " " << fmt;
      EXPECT_EQ(std::memcmp(u, expected_u, sizeof(PLUChar) * static_cast<size_t>(un)), 0) << fmt;
      PLWChar expected_w[512], w[512], wfmt[64];
      int32_t wen = PLMbToWide(h, expected_w, 512, base, n, 0);
      int32_t wfn = PLMbToWide(h, wfmt, 64, fmt.c_str(), static_cast<int32_t>(fmt.size()), 0);
      int32_t wn = PLTimeToStringW(h, &t, w, 512, wfmt, wfn, 0);
      ASSERT_EQ(wn, wen) << name << " " << fmt;
      EXPECT_EQ(std::memcmp(w, expected_w, sizeof(PLWChar) * static_cast<size_t>(wn)), 0) << fmt;
    }
  }
}

// Random formats, every output size: a size that holds the whole text gives it, a smaller
// one a cut prefix of it. Large outputs are written by the walk that needs room to
// spare, small ones by the one that cuts, and the sizes between hand over mid-format.
TEST_F(TimeFormat, EverySizeGivesAPrefixOfTheText) {
  const char *pieces[] = {"%A", "%b", "%p", "%#d", "%e", "%Y", "%#Y", "%Ey", "%OH", "%j", "%c",
                          "%#x", "%D", "%%", "%t", "%n", "%Z", "%Q", "%E", "ab", ", ", "\xC3\xA4"};
  std::mt19937 random(11);
  setenv("TZ", "EST5EDT", 1);
  tzset();
  for (const char *name : {"English_UnitedStates.MS1252", "German_Germany.UTF-8"}) {
    PLLocale *h = open(name);
    for (int i = 0; i < 200; ++i) {
      std::tm t = at(1900 + static_cast<int>(random() % 200), 1 + static_cast<int>(random() % 12),
                     1 + static_cast<int>(random() % 28), static_cast<int>(random() % 24));
      string fmt;
      for (int k = 0; k < 4; ++k) fmt += pieces[random() % std::size(pieces)];
      Out full = format(h, t, fmt, 300, PL_TERMINATE);
      int32_t length = static_cast<int32_t>(fmt.size());
      Out measured = format(h, t, fmt + "%Y", 300, PL_TERMINATE, -1, length);
      EXPECT_EQ(measured.bytes, full.bytes) << name << " " << fmt;
      // A failing format gives its text up to the failure only when cut before it.
      string longest = full.bytes;
      for (int32_t size = full.result < 0 ? 80 : full.result + 1; size >= 1; --size) {
        Out cut = format(h, t, fmt, size, PL_TERMINATE);
        ASSERT_TRUE(cut.guard) << name << " " << fmt << " " << size;
        if (size >= full.result && full.result >= 0) {  // exactly full: the code may be stored
          EXPECT_EQ(cut.bytes, full.bytes) << name << " " << fmt << " " << size;
          continue;
        }
        if (cut.result < 0) {
          EXPECT_EQ(full.result, -1) << name << " " << fmt << " " << size;
          continue;
        }
        EXPECT_EQ(cut.code, PL_ERR_BUFFER_TOO_SMALL) << name << " " << fmt << " " << size;
        string text = cut.bytes.substr(0, static_cast<size_t>(cut.result - 1));
        if (longest.empty()) longest = text;
        EXPECT_EQ(longest.compare(0, text.size(), text), 0) << name << " " << fmt << " " << size;
      }
    }
  }
}

TEST_F(TimeFormat, NestingIsLimited) {
  PLLocale *h = open("English_UnitedStates.MS1252");
  std::tm t = at(2008, 12, 31);
  ASSERT_EQ(PLSetLocaleTextInfo(h, PL_DATE_FORMAT, "<%x>", -1, 0), 1);
  EXPECT_EQ(format(h, t, "%x", 100).result, -1);
  EXPECT_EQ(PLGetError(h), PL_ERR_FORMAT);
  ASSERT_EQ(PLSetLocaleTextInfo(h, PL_DATE_FORMAT, "<%D>", -1, 0), 1);
  EXPECT_EQ(format(h, t, "%c", 100).bytes, "<12/31/08> 1:05:09 PM");
  // Flag 1 reads the territory's formats.
  EXPECT_EQ(format(h, t, "%x", 100, PL_FROM_TERRITORY).bytes, "12/31/08");
}

TEST_F(TimeFormat, NothingIsAllocated) {
  PLLocale *ja930 = open("Japanese_Japan.IBM930");
  PLLocale *de = open("German_Germany.UTF-8");
  std::tm t = at(2008, 12, 31);
  long before = session->heap().allocations;
  char out[512];
  PLUChar u[512];
  PLWChar w[512];
  const PLUChar ufmt[] = {'%', 'c', '%', 'A', '%', 'n', '%', 'Z', 0};
  const PLWChar wfmt[] = {'%', 'c', '%', 'A', 0};
  for (PLLocale *h : {ja930, de}) {
    string fmt = bytes(h, u"%c %A %B %p %n %Z %#c");
    EXPECT_GT(PLTimeToStringEx(h, &t, out, 0, 512, fmt.c_str(), 0, -1, PL_TERMINATE), 0);
    EXPECT_GT(PLTimeToStringEx(h, &t, out, 0, 100, fmt.c_str(), 0, -1, PL_COUNT_CHARS), 0);
    EXPECT_GT(PLTimeToStringU(h, &t, u, 512, ufmt, -1, 0), 0);
    EXPECT_GT(PLTimeToStringW(h, &t, w, 512, wfmt, -1, 0), 0);
  }
  EXPECT_EQ(session->heap().allocations, before);
}

}  // namespace
