// languages/<name>.txt: default items, names of days and months, case pairs.
#include <string>

#include "item_compilers.h"
#include "locale/records/language_record.h"

namespace plc {
namespace {

namespace lang = pl::layout::language;

// Keys of the strings, in record order, with how many lines each takes.
struct StringKey {
  const char *key;
  int count;
};
constexpr StringKey kStringKeys[] = {
    {"code", 1}, {"display-name", 1}, {"day", 7},  {"abbrev-day", 7}, {"month", 13},
    {"abbrev-month", 13}, {"am", 1}, {"pm", 1},
};

std::vector<pl::records::CasePair> read_pairs(SourceFile &source, const char *key) {
  std::vector<pl::records::CasePair> pairs;
  for (const Line *line : source.all(key)) {
    if (line->values.size() != 4) source.fail(line, std::string(key) + " needs four units");
    pairs.push_back({static_cast<uint16_t>(source.number(line, 0, 0xFFFF)),
                     static_cast<uint16_t>(source.number(line, 1, 0xFFFF)),
                     static_cast<uint16_t>(source.number(line, 2, 0xFFFF)),
                     static_cast<uint16_t>(source.number(line, 3, 0xFFFF))});
  }
  return pairs;
}

}  // namespace

bool compile_language(SourceFile &source, Sections &out) {
  source.reject_unknown_keys({"default-territory", "default-codeset", "default-collation", "code",
                              "display-name", "day", "abbrev-day", "month", "abbrev-month", "am",
                              "pm", "upper-pair", "lower-pair"});
  pl::records::LanguageValues values;
  values.default_territory = static_cast<uint16_t>(source.number(source.one("default-territory"), 0, 0xFFFF));
  values.default_codeset = static_cast<uint16_t>(source.number(source.one("default-codeset"), 0, 0xFFFF));
  values.default_collation = static_cast<uint16_t>(source.number(source.one("default-collation"), 0, 0xFFFF));

  std::vector<std::u16string> strings;
  for (const StringKey &key : kStringKeys) {
    std::vector<const Line *> lines = source.all(key.key);
    if (static_cast<int>(lines.size()) != key.count)
      source.fail(nullptr, "\"" + std::string(key.key) + "\" needs " + std::to_string(key.count) +
                               " lines");
    for (const Line *line : lines) strings.push_back(source.text(line, 0));
  }
  if (!source.ok()) return false;
  for (int s = 0; s < lang::kStringCount; ++s) values.strings[s] = strings[s];

  std::vector<pl::records::CasePair> upper = read_pairs(source, "upper-pair");
  std::vector<pl::records::CasePair> lower = read_pairs(source, "lower-pair");
  values.upper_pairs = upper;
  values.lower_pairs = lower;
  size_t size = pl::records::language_record_size(values);
  if (size == 0) source.fail(nullptr, "the language record is too large");
  if (!source.ok()) return false;
  Section record(size);
  pl::records::write_language_record(values, record.data());
  out = {record};
  return true;
}

}  // namespace plc
