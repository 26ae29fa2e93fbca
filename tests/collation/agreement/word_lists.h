// Reproducible word lists for comparing collations: per language, words built from
// its alphabet, accented and special letters and contractions, with case variants,
// digits, hyphens, apostrophes, periods and spaces, and near-duplicates of earlier
// words (one letter's case or accent changed, a mark inserted) so that neighbours in
// a sorted list differ at every level. The same language always gives the same list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plcoll {

struct Language {
  const char *name;        // as the reports print it
  const char *icu_locale;  // the matching ICU collator
  const char *locale;      // the matching locale name of this library (UTF-8 code set)
  // Letters that sort as one unit in the language, or whose first letter changes its
  // order when followed by the second (lowercase; "ch" for Czech and Spanish).
  std::vector<std::u16string_view> contractions;
};

// English, German, French, Spanish, TraditionalSpanish, Swedish, Danish, Czech,
// Polish, Turkish, Japanese, Chinese.
const std::vector<Language> &languages();
const Language *find_language(std::string_view name);

// `count` distinct words of `language` (a name of languages()), in generation order.
std::vector<std::u16string> make_word_list(std::string_view language, size_t count = 20000);

}  // namespace plcoll
