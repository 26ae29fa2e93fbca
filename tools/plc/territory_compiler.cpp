// territories/<name>.txt: numeric and monetary conventions, date and time formats.
#include <string>

#include "item_compilers.h"
#include "locale/records/territory_record.h"

namespace plc {
namespace {

namespace terr = pl::layout::territory;

constexpr const char *kCharacterKeys[terr::kConventionCharCount] = {
    "decimal-point", "thousands-sep", "list-sep", "mon-decimal-point", "mon-thousands-sep"};

constexpr const char *kStringKeys[terr::kStringCount] = {
    "code", "display-name", "grouping", "mon-grouping", "currency-symbol", "int-curr-symbol",
    "positive-sign", "negative-sign", "time-format", "date-format", "long-date-format"};

struct FlagKey {
  const char *key;
  unsigned bit;
};
constexpr FlagKey kFlagKeys[] = {
    {"territory-flag", terr::kTerritoryFlag},
    {"p-cs-precedes", terr::kPositiveSymbolPrecedes},
    {"p-sep-by-space", terr::kPositiveSeparatedBySpace},
    {"n-cs-precedes", terr::kNegativeSymbolPrecedes},
    {"n-sep-by-space", terr::kNegativeSeparatedBySpace},
    {"flag-5", terr::kFlag5},
    {"flag-6", terr::kFlag6},
};

}  // namespace

bool compile_territory(SourceFile &source, Sections &out) {
  std::vector<std::string> known = {"num-digits", "frac-digits", "int-frac-digits", "p-sign-posn",
                                    "n-sign-posn", "value"};
  for (const char *key : kCharacterKeys) known.push_back(key);
  for (const char *key : kStringKeys) known.push_back(key);
  for (const FlagKey &flag : kFlagKeys) known.push_back(flag.key);
  source.reject_unknown_keys(known);

  pl::records::TerritoryValues values;
  for (int c = 0; c < terr::kConventionCharCount; ++c) {
    const Line *line = source.one(kCharacterKeys[c]);
    std::u16string text = source.text(line, 0);
    if (line != nullptr && text.size() != 1) source.fail(line, "needs exactly one character");
    values.characters[c] = text.empty() ? 0 : static_cast<uint16_t>(text[0]);
  }
  values.num_digits = static_cast<uint16_t>(source.number(source.one("num-digits"), 0, 0xFFFF));
  values.frac_digits = static_cast<uint16_t>(source.number(source.one("frac-digits"), 0, 0xFFFF));
  values.int_frac_digits = static_cast<uint16_t>(source.number(source.one("int-frac-digits"), 0, 0xFFFF));
  values.positive_sign_position = static_cast<uint8_t>(source.number(source.one("p-sign-posn"), 0, 4));
  values.negative_sign_position = static_cast<uint8_t>(source.number(source.one("n-sign-posn"), 0, 4));
  values.value = static_cast<uint16_t>(source.number(source.one("value"), 0, 0xFFFF));
  for (const FlagKey &flag : kFlagKeys)
    if (source.number(source.one(flag.key), 0, 1) != 0) values.flags |= flag.bit;

  std::u16string strings[terr::kStringCount];
  for (int s = 0; s < terr::kStringCount; ++s) strings[s] = source.text(source.one(kStringKeys[s]), 0);
  if (!source.ok()) return false;
  for (int s = 0; s < terr::kStringCount; ++s) values.strings[s] = strings[s];
  size_t size = pl::records::territory_record_size(values);
  if (size == 0) source.fail(nullptr, "the territory record is too large");
  if (!source.ok()) return false;
  Section record(size);
  pl::records::write_territory_record(values, record.data());
  out = {record};
  return true;
}

}  // namespace plc
