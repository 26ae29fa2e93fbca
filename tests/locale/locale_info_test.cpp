// Locale information items: reading and changing them in every form.
#include <gtest/gtest.h>

#include <string>

#include "locale/records/territory_record.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using pltest::Session;

// A directory with a second territory, so that territory changes can be seen.
class LocaleInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *file :
         {"la_0001.nls", "te_0001.nls", "cp_0001.nls", "cp_0004.nls", "cp_0930.nls", "so_0001.nls"})
      pltest::write_bytes(dir.file(file), pltest::read_bytes(std::string(pltest::built_locale_dir()) + "/" + file));
    pl::records::TerritoryValues kingdom = {
        .characters = {u',', u'.', u';', u',', u'.'},
        .num_digits = 3,
        .frac_digits = 1,
        .int_frac_digits = 4,
        .positive_sign_position = 1,
        .negative_sign_position = 2,
        .value = 7,
        .flags = 0x01,
        .strings = {u"GBR", u"United Kingdom", u"3;2;0", u"3;0", u"\u00A3", u"GBP", u"+", u"-",
                    u"%H:%M", u"%d/%m/%Y", u"%#d %B %Y"},
    };
    std::vector<uint8_t> record(pl::records::territory_record_size(kingdom));
    pl::records::write_territory_record(kingdom, record.data());
    pltest::write_bytes(dir.file("te_0826.nls"), pltest::container_bytes({record}));
    std::vector<pltest::EntrySpec> entries = {
        {0, 1, "English"},  {1, 1, "UnitedStates"}, {1, 826, "UnitedKingdom"},
        {2, 1, "US-ASCII"}, {2, 4, "ISO-8859-1"},   {2, 930, "IBM930"}, {3, 1, "General"}};
    pltest::write_bytes(dir.file("control.nls"),
                        pltest::container_bytes({pltest::control_table_bytes(entries)}));
    session = std::make_unique<Session>(dir.path());
    handle = PLGetLocale("English_UnitedStates.US-ASCII", 0, nullptr);
    ASSERT_NE(handle, nullptr);
  }
  void TearDown() override {
    if (handle) {
      EXPECT_EQ(PLReleaseLocale(handle), PL_OK);
    }
    session.reset();
  }

  std::string text(int32_t item, int32_t flags = 0, PLLocale *locale = nullptr) {
    char buffer[128];
    int32_t n = PLGetLocaleTextInfo(locale ? locale : handle, item, buffer, sizeof buffer, flags);
    EXPECT_GT(n, 0) << item;
    return n > 0 ? std::string(buffer) : "<error>";
  }

  pltest::TempDir dir;
  std::unique_ptr<Session> session;
  PLLocale *handle = nullptr;
};

TEST_F(LocaleInfo, BuiltinValuesReadBack) {
  EXPECT_EQ(text(PL_LANGUAGE_NAME), "English");
  EXPECT_EQ(text(PL_LANGUAGE_CODE), "EN");
  EXPECT_EQ(text(PL_TERRITORY_DISPLAY_NAME), "United States");
  EXPECT_EQ(text(PL_MODIFIER_NAME), "General");
  EXPECT_EQ(text(PL_DEFAULT_TERRITORY_NAME), "UnitedStates");
  EXPECT_EQ(text(PL_DEFAULT_MODIFIER_NAME), "General");
  EXPECT_EQ(text(PL_DAY_NAME + 3), "Wednesday");
  EXPECT_EQ(text(PL_ABBREV_MONTH_NAME + 11), "Dec");
  EXPECT_EQ(text(PL_MONTH_NAME + 12), "");
  EXPECT_EQ(text(PL_PM_STRING), "PM");
  EXPECT_EQ(text(PL_GROUPING), "3;0");
  EXPECT_EQ(text(PL_INT_CURR_SYMBOL), "USD");
  EXPECT_EQ(text(PL_POSITIVE_SIGN), "");
  EXPECT_EQ(text(PL_LONG_DATE_FORMAT), "%A, %B %d, %Y");
  EXPECT_EQ(text(PL_LOCALE_NAME), "English_UnitedStates.US-ASCII@General");
  struct Numeric {
    int32_t item, value;
  };
  for (Numeric n : {Numeric{PL_LANGUAGE_ID, 1}, {PL_TERRITORY_ID, 1}, {PL_CODESET_ID, 1},
                    {PL_MODIFIER_ID, 1}, {PL_TERRITORY_FLAG, 1}, {PL_NUM_DIGITS, 2},
                    {PL_FRAC_DIGITS, 2}, {PL_INT_FRAC_DIGITS, 2}, {PL_P_CS_PRECEDES, 1},
                    {PL_P_SEP_BY_SPACE, 0}, {PL_N_CS_PRECEDES, 1}, {PL_N_SEP_BY_SPACE, 0},
                    {PL_P_SIGN_POSN, 3}, {PL_N_SIGN_POSN, 0}, {PL_TERRITORY_FLAG_5, 1},
                    {PL_TERRITORY_FLAG_6, 1}, {PL_TERRITORY_VALUE, 0}, {PL_MAX_CHAR_LEN, 1},
                    {PL_CODESET_ASCII_BASED, 1}, {PL_CODESET_STATEFUL, 0}})
    EXPECT_EQ(PLGetLocaleNumInfo(handle, n.item, 0), n.value) << n.item;
}

TEST_F(LocaleInfo, WrongItemsSourcesAndFlags) {
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_CURRENCY_SYMBOL, 0), -1);
  EXPECT_EQ(PLGetError(handle), PL_ERR_UNKNOWN_ITEM);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, 88, 0), -1);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_NUM_DIGITS, 2), -1);
  EXPECT_EQ(PLGetError(handle), PL_ERR_ARGUMENT);
  char buffer[8];
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_NUM_DIGITS, buffer, 8, 0), -1);
  EXPECT_EQ(PLGetError(handle), PL_ERR_UNKNOWN_ITEM);
  EXPECT_EQ(PLGetLocaleTextInfo(handle, 91, buffer, 8, 0), -1);
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_SHIFT_IN_BYTE, buffer, 8, 0), -1);
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_GROUPING, buffer, 8, 2), -1);
  EXPECT_EQ(PLGetError(handle), PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_GROUPING, buffer, 0, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_OK);
  EXPECT_EQ(PLLocaleGetTextItem(handle, PL_NUM_DIGITS, 1, nullptr), nullptr);
  EXPECT_EQ(PLLocaleGetTextItem(handle, PL_LOCALE_NAME, 1, nullptr), nullptr);
}

TEST_F(LocaleInfo, OutputIsCutAtACharacterWithItsNul) {
  char buffer[10];
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_DECIMAL_POINT, buffer, 10, 0), 2);
  EXPECT_STREQ(buffer, ".");
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_LONG_DATE_FORMAT, buffer, 5, 0), 5);
  EXPECT_STREQ(buffer, "%A, ");
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_LONG_DATE_FORMAT, buffer, 1, 0), 1);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(PLGetLocaleTextInfo(handle, PL_DAY_NAME, buffer, 4, PL_COUNT_CHARS), 4);
  EXPECT_STREQ(buffer, "Sun");
  PLUChar units[4];
  EXPECT_EQ(PLGetLocaleTextInfoU(handle, PL_MONTH_NAME, units, 4, 0), 4);
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(units)), u"Jan");
  PLWChar wide[8];
  EXPECT_EQ(PLGetLocaleTextInfoW(handle, PL_THOUSANDS_SEP, wide, 8, 0), 2);
  EXPECT_EQ(wide[0], static_cast<PLWChar>(','));
}

TEST_F(LocaleInfo, SeparatorsAreCheckedAgainstDigitsAndTheirPartner) {
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_DECIMAL_POINT, ",", -1, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_DECIMAL_POINT, "5", -1, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
  EXPECT_EQ(text(PL_DECIMAL_POINT), ".");
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_LIST_SEP, ".", -1, 0), 1);  // no partner
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_DECIMAL_POINT, ":x", -1, 0), 1);
  EXPECT_EQ(text(PL_DECIMAL_POINT), ":");
  EXPECT_EQ(text(PL_DECIMAL_POINT, PL_FROM_TERRITORY), ".");
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_DECIMAL_POINT, "", 0, 0), 1);  // nothing to change
  EXPECT_EQ(text(PL_DECIMAL_POINT), ":");
}

TEST_F(LocaleInfo, SetItemsSurviveATerritoryChangeAndTheRestFollowIt) {
  ASSERT_EQ(PLSetLocaleTextInfo(handle, PL_CURRENCY_SYMBOL, "US$", -1, 0), 1);
  ASSERT_EQ(PLSetLocaleNumInfo(handle, PL_FRAC_DIGITS, 5, 0), 1);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_TERRITORY_ID, 826, 0), 1);
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "US$");
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_FRAC_DIGITS, 0), 5);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_FRAC_DIGITS, PL_FROM_TERRITORY), 1);
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL, PL_FROM_TERRITORY), "?");  // the pound in US-ASCII
  EXPECT_EQ(text(PL_DECIMAL_POINT), ",");
  EXPECT_EQ(text(PL_GROUPING), "3;2;0");
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_NUM_DIGITS, 0), 3);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_P_CS_PRECEDES, 0), 0);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_N_SIGN_POSN, 0), 2);
  EXPECT_EQ(text(PL_TERRITORY_NAME), "UnitedKingdom");
  // By name, back again.
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_TERRITORY_NAME, "unitedstates", -1, 0), 1);
  EXPECT_EQ(text(PL_DECIMAL_POINT), ".");
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "US$");
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_TERRITORY_ID, 999, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
  EXPECT_EQ(PLSetLocaleTextInfo(handle, PL_TERRITORY_NAME, "Atlantis", -1, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
}

TEST_F(LocaleInfo, NumericSettersCheckTheirRanges) {
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_P_SIGN_POSN, 5, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_P_SIGN_POSN, -1, 0), 0);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_P_SEP_BY_SPACE, 2, 0), 0);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_P_SEP_BY_SPACE, 1, 0), 1);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_P_SEP_BY_SPACE, 0), 1);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_P_SEP_BY_SPACE, PL_FROM_TERRITORY), 0);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_NUM_DIGITS, 0x10007, 0), 1);
  EXPECT_EQ(PLGetLocaleNumInfo(handle, PL_NUM_DIGITS, 0), 7);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_TERRITORY_VALUE, 1, 0), 0);
  EXPECT_EQ(PLGetError(handle), PL_ERR_UNKNOWN_ITEM);
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_MODIFIER_ID, 0, 0), 1);
  EXPECT_EQ(text(PL_MODIFIER_NAME), "Binary");
  EXPECT_EQ(PLSetLocaleNumInfo(handle, PL_MODIFIER_ID, 2, 0), 0);  // only General here
  EXPECT_EQ(PLGetError(handle), PL_ERR_NOT_FOUND);
}

TEST_F(LocaleInfo, ACodeSetChangeWritesTheCopiesAgain) {
  ASSERT_EQ(PLSetLocaleTextInfoU(handle, PL_CURRENCY_SYMBOL, reinterpret_cast<const PLUChar *>(u"\u00A3"), -1, 0), 1);
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "?");
  ASSERT_EQ(PLSetLocaleNumInfo(handle, PL_CODESET_ID, 4, 0), 1);
  // The UTF-16 copy was kept; ISO-8859-1 can write the pound sign... only when the
  // handle's code-set copy came from a character the old set could write.
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "?");
  EXPECT_EQ(text(PL_CODESET_NAME), "ISO-8859-1");
  ASSERT_EQ(PLSetLocaleTextInfoU(handle, PL_CURRENCY_SYMBOL, reinterpret_cast<const PLUChar *>(u"\u00A3"), -1, 0), 1);
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "\xA3");
  ASSERT_EQ(PLSetLocaleTextInfo(handle, PL_CODESET_NAME, "us-ascii", -1, 0), 1);
  EXPECT_EQ(text(PL_CURRENCY_SYMBOL), "?");
  PLUChar units[4];
  EXPECT_EQ(PLGetLocaleTextInfoU(handle, PL_CURRENCY_SYMBOL, units, 4, 0), 2);
  EXPECT_EQ(units[0], 0xA3);
}

TEST_F(LocaleInfo, StatefulCodeSetsWriteShiftBytes) {
  PLLocale *ebcdic = PLGetLocale("English.IBM930", 0, nullptr);
  ASSERT_NE(ebcdic, nullptr);
  EXPECT_EQ(PLGetLocaleNumInfo(ebcdic, PL_CODESET_STATEFUL, 0), 1);
  EXPECT_EQ(PLGetLocaleNumInfo(ebcdic, PL_MAX_CHAR_LEN, 0), 2);
  EXPECT_EQ(PLGetLocaleNumInfo(ebcdic, PL_CODESET_ASCII_BASED, 0), 0);
  // A full-width yen sign is double-byte: the stored copy is shifted out and back.
  ASSERT_EQ(PLSetLocaleTextInfoU(ebcdic, PL_CURRENCY_SYMBOL, reinterpret_cast<const PLUChar *>(u"A\uFFE5"), -1, 0), 1);
  char buffer[16];
  int32_t n = PLGetLocaleTextInfoEx(ebcdic, PL_CURRENCY_SYMBOL, buffer, 0, sizeof buffer, 0);
  ASSERT_EQ(n, 6);
  EXPECT_EQ(buffer[1], '\x0E');
  EXPECT_EQ(buffer[4], '\x0F');
  // Starting shifted, the single-byte "A" needs a shift-in first.
  n = PLGetLocaleTextInfoEx(ebcdic, PL_CURRENCY_SYMBOL, buffer, 1, sizeof buffer, 0);
  ASSERT_EQ(n, 7);
  EXPECT_EQ(buffer[0], '\x0F');
  EXPECT_EQ(PLGetLocaleTextInfoEx(ebcdic, PL_SHIFT_OUT_BYTE, buffer, 0, 4, 0), 2);
  EXPECT_EQ(buffer[0], '\x0E');
  // Names are ASCII even here; the text forms give them in EBCDIC.
  std::string name = text(PL_LANGUAGE_NAME, 0, ebcdic);
  EXPECT_EQ(name.size(), 7u);
  EXPECT_EQ(name[0], '\xC5');  // "E"
  PLWChar wide[8];
  EXPECT_EQ(PLGetLocaleTextInfoW(ebcdic, PL_CURRENCY_SYMBOL, wide, 8, 0), 3);
  EXPECT_GT(wide[1], 0xFFu);
  // Setting through the Ex form from a shifted state.
  char shifted[] = {static_cast<char>(buffer[2]), static_cast<char>(buffer[3]), 0};
  n = PLGetLocaleTextInfoEx(ebcdic, PL_CURRENCY_SYMBOL, buffer, 0, sizeof buffer, 0);
  shifted[0] = buffer[2];
  shifted[1] = buffer[3];
  EXPECT_EQ(PLSetLocaleTextInfoEx(ebcdic, PL_POSITIVE_SIGN, shifted, 1, 2, 0), 1);
  PLUChar units[4];
  EXPECT_EQ(PLGetLocaleTextInfoU(ebcdic, PL_POSITIVE_SIGN, units, 4, 0), 2);
  EXPECT_EQ(units[0], 0xFFE5);
  EXPECT_EQ(PLReleaseLocale(ebcdic), PL_OK);
}

TEST_F(LocaleInfo, TextItemPointersAndKinds) {
  uint32_t type = 0;
  const void *name = PLLocaleGetTextItem(handle, PL_LANGUAGE_NAME, 1, &type);
  EXPECT_EQ(type, static_cast<uint32_t>(PL_TEXT_NAME));
  EXPECT_STREQ(static_cast<const char *>(name), "English");
  const void *grouping = PLLocaleGetTextItem(handle, PL_GROUPING, 1, &type);
  EXPECT_EQ(type, static_cast<uint32_t>(PL_TEXT_HANDLE));
  EXPECT_STREQ(static_cast<const char *>(grouping), "3;0");
  const void *record = PLLocaleGetTextItem(handle, PL_GROUPING, 0, &type);
  EXPECT_EQ(type, static_cast<uint32_t>(PL_TEXT_RECORD));
  EXPECT_EQ(std::u16string(static_cast<const char16_t *>(record)), u"3;0");
  const void *unicode = PLLocaleGetTextItemU(handle, PL_GROUPING, 1, &type);
  EXPECT_EQ(std::u16string(static_cast<const char16_t *>(unicode)), u"3;0");
  EXPECT_EQ(PLLocaleGetTextItem(handle, PL_INT_CURR_SYMBOL, 1, &type), PLLocaleGetTextItem(handle, PL_INT_CURR_SYMBOL, 0, &type));
}

TEST_F(LocaleInfo, ATerritoryChangeWithoutMemoryChangesNothing) {
  // Load the territory first: a load that runs out of memory would stand the
  // built-in data in for it.
  ASSERT_EQ(PLSetLocaleNumInfo(handle, PL_TERRITORY_ID, 826, 0), 1);
  for (long n = 1;; ++n) {
    int32_t code = -1;
    PLLocale *subject = PLGetLocale("English.US-ASCII", 0, &code);
    ASSERT_NE(subject, nullptr) << code;
    ASSERT_EQ(PLSetLocaleTextInfo(subject, PL_CURRENCY_SYMBOL, "X", -1, 0), 1);
    pltest::Heap &heap = session->heap();
    long live = heap.live;
    heap.fail_at = heap.attempts + n;
    int32_t result = PLSetLocaleNumInfo(subject, PL_TERRITORY_ID, 826, 0);
    bool failed = heap.attempts >= heap.fail_at;
    heap.fail_at = -1;
    if (failed) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(PLGetError(subject), PL_ERR_NO_MEMORY);
      EXPECT_EQ(heap.live, live);
      EXPECT_EQ(text(PL_TERRITORY_NAME, 0, subject), "UnitedStates");
      EXPECT_EQ(text(PL_GROUPING, 0, subject), "3;0");
    } else {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(text(PL_GROUPING, 0, subject), "3;2;0");
    }
    EXPECT_EQ(text(PL_CURRENCY_SYMBOL, 0, subject), "X");
    EXPECT_EQ(PLReleaseLocale(subject), PL_OK);
    if (!failed) break;
  }
}

}  // namespace
