// Locale handles: name resolution, defaults, the default handle, conventions.
#include <gtest/gtest.h>

#include <string>

#include "frame/handle.h"
#include "locale/control_entry.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

using pltest::Session;

std::string name_of(const pl::ControlEntry *entry) { return entry ? entry->name : "(none)"; }

struct Handle {
  explicit Handle(const char *name, int32_t flags = 0) { locale = PLGetLocale(name, flags, &code); }
  ~Handle() {
    if (locale) {
      EXPECT_EQ(PLReleaseLocale(locale), PL_OK);
    }
  }
  PLLocale *locale = nullptr;
  int32_t code = -1;
};

class LocaleHandles : public ::testing::Test {
 protected:
  Session session{pltest::built_locale_dir()};
};

TEST_F(LocaleHandles, TheEmptyNameIsEnglishWithItsDefaults) {
  Handle handle("");
  ASSERT_NE(handle.locale, nullptr);
  EXPECT_EQ(handle.code, PL_OK);
  EXPECT_EQ(name_of(handle.locale->language), "English");
  EXPECT_EQ(name_of(handle.locale->territory), "UnitedStates");
  EXPECT_EQ(handle.locale->codeset->kind, pl::layout::kCodeset);
  ASSERT_NE(handle.locale->collation, nullptr);
  EXPECT_EQ(name_of(handle.locale->collation), "General");
  EXPECT_FALSE(handle.locale->flags & pl::kHandleNoCollation);
  EXPECT_EQ(handle.locale->override_mask, 0u);
}

TEST_F(LocaleHandles, NamesIgnoreCaseAndPartsMayBeEmpty) {
  Handle full("English_UnitedStates.US-ASCII");
  Handle lower("english_unitedstates.us-ascii");
  ASSERT_NE(full.locale, nullptr);
  ASSERT_NE(lower.locale, nullptr);
  EXPECT_EQ(full.locale->territory, lower.locale->territory);
  EXPECT_EQ(full.locale->codeset, lower.locale->codeset);
  Handle empty_parts("English_.@");
  ASSERT_NE(empty_parts.locale, nullptr);
  EXPECT_EQ(name_of(empty_parts.locale->territory), "UnitedStates");
  Handle binary("English@binary");
  ASSERT_NE(binary.locale, nullptr);
  EXPECT_TRUE(binary.locale->flags & pl::kHandleNoCollation);
  Handle other_set("English.ISO-8859-1");
  ASSERT_NE(other_set.locale, nullptr);
  EXPECT_EQ(name_of(other_set.locale->codeset), "ISO-8859-1");
  EXPECT_TRUE(other_set.locale->flags & pl::kHandleSingleByte);
}

TEST_F(LocaleHandles, UnknownPartsFailOrFallBackWithFlag4) {
  struct Case {
    const char *name;
    int32_t code;
  };
  for (const Case &c : {Case{"Klingon", PL_ERR_UNKNOWN_LANGUAGE},
                        Case{"English_Atlantis", PL_ERR_UNKNOWN_TERRITORY},
                        Case{"English.EBCDIC-XX", PL_ERR_UNKNOWN_CODESET},
                        Case{"English@Phonebook", PL_ERR_UNKNOWN_MODIFIER}}) {
    Handle strict(c.name);
    EXPECT_EQ(strict.locale, nullptr) << c.name;
    EXPECT_EQ(strict.code, c.code) << c.name;
    Handle tolerant(c.name, PL_LOCALE_TOLERANT);
    ASSERT_NE(tolerant.locale, nullptr) << c.name;
    EXPECT_EQ(tolerant.code, PL_OK);
    EXPECT_EQ(name_of(tolerant.locale->language), "English");
    EXPECT_EQ(name_of(tolerant.locale->territory), "UnitedStates");
  }
  Handle bad_flags("English", 1);
  EXPECT_EQ(bad_flags.locale, nullptr);
  EXPECT_EQ(bad_flags.code, PL_ERR_ARGUMENT);
  EXPECT_EQ(PLGetLocale("English", 8, nullptr), nullptr);  // a null error pointer is fine
}

TEST_F(LocaleHandles, Flag2TakesTheNameFromPlLang) {
  {
    pltest::EnvVar lang("PL_LANG", "english_unitedstates.iso-8859-1");
    Handle handle("Klingon", PL_LOCALE_FROM_ENV);
    ASSERT_NE(handle.locale, nullptr);
    EXPECT_EQ(name_of(handle.locale->codeset), "ISO-8859-1");
  }
  pltest::EnvVar unset("PL_LANG", nullptr);
  Handle unknown("English", PL_LOCALE_FROM_ENV);  // no native locale: "Unknown"
  EXPECT_EQ(unknown.code, PL_ERR_UNKNOWN_LANGUAGE);
  Handle fallback("", PL_LOCALE_FROM_ENV | PL_LOCALE_TOLERANT);
  EXPECT_NE(fallback.locale, nullptr);
}

TEST_F(LocaleHandles, UtfSixteenAndWideNames) {
  const PLUChar name16[] = {'E', 'n', 'g', 'l', 'i', 's', 'h', '.', 'K', 'O', 'I', '8', '-', 'R', 0};
  int32_t code = -1;
  PLLocale *u = PLGetLocaleU(name16, 0, &code);
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(name_of(u->codeset), "KOI8-R");
  // In the wide form only the exact separator values separate: 0x15F has "_" as its
  // low byte but is a name character.
  const PLWChar wide[] = {'E', 'n', 'g', 'l', 'i', 's', 'h', '.', 'K', 'O', 'I', '8', '-', 'R', 0};
  PLLocale *w = PLGetLocaleW(wide, 0, &code);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->codeset, u->codeset);
  const PLWChar odd[] = {'E', 'n', 'g', 'l', 'i', 's', 'h', 0x15F, 'X', 0};
  EXPECT_EQ(PLGetLocaleW(odd, 0, &code), nullptr);
  EXPECT_EQ(code, PL_ERR_UNKNOWN_LANGUAGE);
  EXPECT_EQ(PLReleaseLocale(u), PL_OK);
  EXPECT_EQ(PLReleaseLocale(w), PL_OK);
}

TEST_F(LocaleHandles, AFailedSetLocaleKeepsTheDefault) {
  ASSERT_EQ(PLSetLocale("English.ISO-8859-1", 0), PL_OK);
  PLLocale *before = pl::resolve(nullptr);
  EXPECT_EQ(name_of(before->codeset), "ISO-8859-1");
  EXPECT_EQ(PLSetLocale("English_Atlantis", 0), PL_ERR_UNKNOWN_TERRITORY);
  EXPECT_EQ(pl::resolve(nullptr), before);
  const PLUChar name16[] = {'E', 'n', 'g', 'l', 'i', 's', 'h', 0};
  EXPECT_EQ(PLSetLocaleU(name16, 0), PL_OK);
  EXPECT_NE(pl::resolve(nullptr), before);
  const PLWChar wide[] = {'E', 0};
  EXPECT_EQ(PLSetLocaleW(wide, 0), PL_ERR_UNKNOWN_LANGUAGE);
  // The last term releases the default handle (the session checks for leaks).
}

TEST_F(LocaleHandles, ConventionsComeFromTheTerritoryInTheCodeSet) {
  Handle ebcdic("English_UnitedStates.IBM037");
  ASSERT_NE(ebcdic.locale, nullptr);
  PLLocale *h = ebcdic.locale;
  EXPECT_EQ(h->num_digits, 2);
  EXPECT_EQ(h->positive_sign_position, 3);
  EXPECT_EQ(h->negative_sign_position, 0);
  EXPECT_EQ(h->flags & pl::kHandleMonetaryFlags, 0x35);  // items 73..76, 82, 83: 1 0 1 0 1 1
  EXPECT_EQ(h->separators_unicode[0][0], u'.');
  EXPECT_EQ(std::string(h->separators[0]), "\x4B");  // "." in EBCDIC
  EXPECT_EQ(std::string(h->separators[1]), "\x6B");  // ","
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(h->strings_unicode[5])), u"%#I:%M:%S %p");
  EXPECT_EQ(std::string(h->strings[1]), "\x5B");  // "$"
  EXPECT_EQ(std::string(h->strings[0]), "\xF3\x5E\xF0");  // "3;0"
  EXPECT_FALSE(h->flags & pl::kHandleStateful);

  Handle stateful("English.IBM930");
  ASSERT_NE(stateful.locale, nullptr);
  EXPECT_TRUE(stateful.locale->flags & pl::kHandleStateful);
  EXPECT_FALSE(stateful.locale->flags & pl::kHandleSingleByte);
}

TEST_F(LocaleHandles, ReleaseReportsAFailingFreeHook) {
  session.heap().fail_frees = false;
  Handle handle("English");
  ASSERT_NE(handle.locale, nullptr);
  session.heap().fail_frees = true;
  EXPECT_EQ(PLReleaseLocale(handle.locale), PL_ERR_FILE);
  handle.locale = nullptr;
  session.heap().fail_frees = false;
  EXPECT_EQ(PLReleaseLocale(nullptr), PL_ERR_ARGUMENT);
}

TEST(LocaleHandlesOutOfMemory, EveryFailingAllocationGives20AndLeaksNothing) {
  for (const char *name : {"English", "English_UnitedStates.IBM930", "English.GB18030"}) {
    for (long n = 1;; ++n) {
      pltest::Heap heap;
      ASSERT_EQ(PLInit(pltest::built_locale_dir(), pltest::heap_alloc, pltest::heap_free, &heap,
                       PL_INIT_STRICT),
                PL_OK);
      heap.fail_at = heap.attempts + n;
      int32_t code = -1;
      PLLocale *handle = PLGetLocale(name, 0, &code);
      bool failed = heap.attempts >= heap.fail_at;
      if (failed) {
        EXPECT_EQ(handle, nullptr) << name << " N=" << n;
        EXPECT_EQ(code, PL_ERR_NO_MEMORY) << name << " N=" << n;
      } else {
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(PLReleaseLocale(handle), PL_OK);
      }
      EXPECT_EQ(PLTerm(), PL_OK);
      EXPECT_EQ(heap.live, 0) << name << " N=" << n;
      if (!failed) break;
    }
  }
}

}  // namespace
