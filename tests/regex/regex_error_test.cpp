// PLRegerror and its Ex, U and W forms: the messages, the same in every form and locale
// as glibc's iconv makes of them (ASCII, UTF-8, MS932, EBCDIC 037 and 930), truncation,
// unknown codes and flags, the Ex shift-in byte, and no memory.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "polyloc.h"
#include "support/iconv_text.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using std::string;
using Units = std::vector<uint32_t>;

enum Form { kBase, kEx, kU, kW };
constexpr Form kForms[] = {kBase, kEx, kU, kW};

struct Locale {
  const char *name, *charmap;  // ours, and glibc iconv's name of its code set
};
constexpr Locale kLocales[] = {{"English_UnitedStates.MS1252", "CP1252"},
                               {"German_Germany.UTF-8", "UTF-8"},
                               {"Japanese_Japan.MS932", "CP932"},
                               {"English_UnitedStates.IBM037", "IBM037"},
                               {"Japanese_Japan.IBM930", "IBM930"}};

constexpr uint32_t kGuard = 0xA5;
constexpr size_t kSlack = 4;  // guard units behind the buffer

struct Out {
  int32_t result, code;
  Units buffer;  // the caller's buffer and the guard behind it
};

// Calls `form` into a guarded buffer of `size` units (a null one when `null_buffer`).
Out call(Form form, PLLocale *h, int32_t code, int32_t size, int32_t flags = 0, PLState state = 0,
         bool null_buffer = false) {
  size_t room = static_cast<size_t>(size > 0 ? size : 0) + kSlack;
  std::vector<char> bytes(room, static_cast<char>(kGuard));
  std::vector<PLUChar> units(room, kGuard);
  std::vector<PLWChar> wide(room, kGuard);
  int32_t r = 0;
  switch (form) {
    case kBase: r = PLRegerror(h, code, null_buffer ? nullptr : bytes.data(), size, flags); break;
    case kEx: r = PLRegerrorEx(h, code, null_buffer ? nullptr : bytes.data(), state, size, flags); break;
    case kU: r = PLRegerrorU(h, code, null_buffer ? nullptr : units.data(), size, flags); break;
    case kW: r = PLRegerrorW(h, code, null_buffer ? nullptr : wide.data(), size, flags); break;
  }
  Out out{r, PLGetError(h), {}};
  for (size_t i = 0; i < room; ++i)
    out.buffer.push_back(form == kU   ? units[i]
                         : form == kW ? static_cast<uint32_t>(wide[i])
                                      : static_cast<uint8_t>(bytes[i]));
  return out;
}

class RegexError : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    session = new pltest::Session(pltest::built_locale_dir());
    for (const Locale &l : kLocales) {
      int32_t error = 0;
      handles.push_back(PLGetLocale(l.name, 0, &error));
      ASSERT_NE(handles.back(), nullptr) << l.name << " " << error;
    }
  }
  static void TearDownTestSuite() {
    for (PLLocale *h : handles) PLReleaseLocale(h);
    handles.clear();
    delete session;
  }
  // The ASCII message of `code` as the base form writes it in the ASCII locale.
  static string ascii(int32_t code) {
    char text[256];
    int32_t n = PLRegerror(handles[0], code, text, sizeof text, 0);
    return n > 0 ? string(text, static_cast<size_t>(n - 1)) : "";
  }
  // The whole message as `form` must write it in locale `l`, terminator included: the
  // ASCII text in UTF-16, else iconv's bytes (every message is single-byte, also in
  // 930, so its packed characters are its bytes).
  static Units expected(Form form, size_t l, int32_t code) {
    string text = ascii(code);
    if (form != kU) text = pltest::iconv_text(text, "ASCII", kLocales[l].charmap);
    Units units;
    for (char c : text) units.push_back(static_cast<uint8_t>(c));
    units.push_back(0);
    return units;
  }
  static inline pltest::Session *session;
  static inline std::vector<PLLocale *> handles;
};

TEST_F(RegexError, MessageTexts) {
  std::vector<int32_t> known;
  for (int32_t code = -2; code < 200; ++code)
    if (!ascii(code).empty()) known.push_back(code);
  std::vector<int32_t> table = {0, 1, 2, 20, 40};
  for (int32_t code = 80; code <= 91; ++code) table.push_back(code);
  EXPECT_EQ(known, table);
  EXPECT_EQ(ascii(0), "No error");
  EXPECT_EQ(ascii(83), "\\ applied to unescapable character");
  EXPECT_EQ(ascii(86), "Parentheses ( ) not balanced");
  EXPECT_EQ(ascii(90), "?, *, or + operand invalid");
}

// Every message in every form and locale, with a buffer of exactly its length.
TEST_F(RegexError, FormsAndLocalesAgree) {
  for (size_t l = 0; l < handles.size(); ++l)
    for (Form form : kForms)
      for (int32_t code : {0, 1, 2, 20, 40, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91}) {
        SCOPED_TRACE(string(kLocales[l].name) + " form " + std::to_string(form) + " code " +
                     std::to_string(code));
        Units want = expected(form, l, code);
        Out out = call(form, handles[l], code, static_cast<int32_t>(want.size()));
        want.insert(want.end(), kSlack, kGuard);
        EXPECT_EQ(out.result, static_cast<int32_t>(want.size() - kSlack));
        EXPECT_EQ(out.code, PL_OK);
        EXPECT_EQ(out.buffer, want);
      }
}

// Sizes, codes and flags: one table over the four forms and every locale.
TEST_F(RegexError, EdgeCases) {
  struct Row {
    int32_t code, size, flags;
    bool refused;  // result 0 and code 2, nothing written
    bool null_buffer = false;
  } rows[] = {
      {86, 10, 0, false},  {86, 0, 0, false},   {86, 1, 0, false},   {86, 28, 0, false},
      {86, 29, 0, false},  {86, 64, 0, false},  {0, 9, PL_COUNT_CHARS, false},
      {3, 64, 0, true},    {92, 64, 0, true},   {-1, 64, 0, true},   {79, 64, 0, true},
      {21, 64, 0, true},   {0, 64, PL_TERMINATE, true},              {0, 64, 0x4001, true},
      {0, 64, 0x10000, true}, {0, -1, 0, true}, {0, 10, 0, true, true}, {0, 0, 0, false, true},
  };
  for (size_t l = 0; l < handles.size(); ++l)
    for (Form form : kForms)
      for (const Row &row : rows) {
        SCOPED_TRACE(string(kLocales[l].name) + " form " + std::to_string(form) + " code " +
                     std::to_string(row.code) + " size " + std::to_string(row.size));
        Out out = call(form, handles[l], row.code, row.size, row.flags, 0, row.null_buffer);
        Units untouched(out.buffer.size(), kGuard);
        if (row.refused) {
          EXPECT_EQ(out.result, 0);
          EXPECT_EQ(out.code, PL_ERR_ARGUMENT);
          EXPECT_EQ(out.buffer, untouched);
          continue;
        }
        Units full = expected(form, l, row.code);
        int32_t length = static_cast<int32_t>(full.size());
        Units want = untouched;
        if (row.size >= length) {
          std::copy(full.begin(), full.end(), want.begin());
        } else if (row.size > 0) {
          std::copy(full.begin(), full.begin() + row.size - 1, want.begin());
          want[static_cast<size_t>(row.size - 1)] = 0;
        }
        EXPECT_EQ(out.result, length);
        EXPECT_EQ(out.code, row.size >= length ? PL_OK : PL_ERR_BUFFER_TOO_SMALL);
        EXPECT_EQ(out.buffer, want);
      }
}

// In a stateful set an output that starts shifted opens with the shift-in byte, which
// counts; elsewhere the state changes nothing.
TEST_F(RegexError, ExShiftIn) {
  const size_t ibm930 = 4;
  Units message = expected(kEx, ibm930, 86);
  Units shifted = {0x0F};
  shifted.insert(shifted.end(), message.begin(), message.end());
  struct Row {
    int32_t size;
    Units written;
  } rows[] = {
      {64, shifted},
      {30, shifted},
      {3, {0x0F, message[0], 0}},
      {2, {0x0F, 0}},
      {1, {}},
      {0, {}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.size);
    Out out = call(kEx, handles[ibm930], 86, row.size, 0, 1);
    Units want(out.buffer.size(), kGuard);
    std::copy(row.written.begin(), row.written.end(), want.begin());
    EXPECT_EQ(out.result, static_cast<int32_t>(shifted.size()));
    EXPECT_EQ(out.code, row.size >= 30 ? PL_OK : PL_ERR_BUFFER_TOO_SMALL);
    EXPECT_EQ(out.buffer, want);
  }
  for (size_t l = 0; l + 1 < handles.size(); ++l) {
    Out out = call(kEx, handles[l], 86, 64, 0, 1);
    EXPECT_EQ(out.result, 29) << kLocales[l].name;
    EXPECT_EQ(Units(out.buffer.begin(), out.buffer.begin() + 29), expected(kEx, l, 86));
  }
}

// Without a default handle a null one is refused; a converting locale that cannot get
// its memory says so and keeps nothing.
TEST_F(RegexError, NoHandleAndNoMemory) {
  char text[64];
  EXPECT_EQ(PLRegerror(nullptr, 0, text, sizeof text, 0), 0);
  EXPECT_EQ(PLGetError(nullptr), PL_ERR_ARGUMENT);
  pltest::Heap &heap = session->heap();
  for (Form form : kForms)
    for (size_t l : {size_t{3}, size_t{4}}) {
      SCOPED_TRACE(string(kLocales[l].name) + " form " + std::to_string(form));
      long live = heap.live;
      heap.fail_at = heap.attempts + 1;
      Out out = call(form, handles[l], 86, 64);
      heap.fail_at = -1;
      EXPECT_EQ(out.result, 0);
      EXPECT_EQ(out.code, PL_ERR_NO_MEMORY);
      EXPECT_EQ(heap.live, live);
      EXPECT_EQ(call(form, handles[l], 86, 64).result, 29);
    }
}

}  // namespace
