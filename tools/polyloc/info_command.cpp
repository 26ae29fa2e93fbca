// polyloc info LOCALE [ITEM...] [--dir DIR]: the information items of a locale, each
// as number, name and value, text written in UTF-8 whatever the locale's code set.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "commands.h"
#include "frame/utf8.h"
#include "polyloc.h"

namespace {

struct ItemName {
  int32_t item;
  const char *name;
  int count;  // items numbered item..item+count-1 share the name
};

constexpr ItemName kItems[] = {
    {1, "LANGUAGE_ID", 1}, {2, "LANGUAGE_NAME", 1}, {3, "LANGUAGE_CODE", 1},
    {4, "LANGUAGE_DISPLAY_NAME", 1}, {5, "TERRITORY_ID", 1}, {6, "TERRITORY_NAME", 1},
    {7, "TERRITORY_CODE", 1}, {8, "TERRITORY_DISPLAY_NAME", 1}, {9, "CODESET_ID", 1},
    {10, "CODESET_NAME", 1}, {11, "MODIFIER_ID", 1}, {12, "MODIFIER_NAME", 1},
    {13, "DEFAULT_TERRITORY_NAME", 1}, {14, "DEFAULT_CODESET_NAME", 1},
    {15, "DEFAULT_MODIFIER_NAME", 1}, {16, "DAY_NAME", 7}, {23, "ABBREV_DAY_NAME", 7},
    {30, "MONTH_NAME", 13}, {43, "ABBREV_MONTH_NAME", 13}, {56, "AM_STRING", 1},
    {57, "PM_STRING", 1}, {58, "TERRITORY_FLAG", 1}, {59, "DECIMAL_POINT", 1},
    {60, "THOUSANDS_SEP", 1}, {61, "LIST_SEP", 1}, {62, "GROUPING", 1}, {63, "NUM_DIGITS", 1},
    {64, "CURRENCY_SYMBOL", 1}, {65, "INT_CURR_SYMBOL", 1}, {66, "MON_DECIMAL_POINT", 1},
    {67, "MON_THOUSANDS_SEP", 1}, {68, "MON_GROUPING", 1}, {69, "FRAC_DIGITS", 1},
    {70, "INT_FRAC_DIGITS", 1}, {71, "POSITIVE_SIGN", 1}, {72, "NEGATIVE_SIGN", 1},
    {73, "P_CS_PRECEDES", 1}, {74, "P_SEP_BY_SPACE", 1}, {75, "N_CS_PRECEDES", 1},
    {76, "N_SEP_BY_SPACE", 1}, {77, "P_SIGN_POSN", 1}, {78, "N_SIGN_POSN", 1},
    {79, "TIME_FORMAT", 1}, {80, "DATE_FORMAT", 1}, {81, "LONG_DATE_FORMAT", 1},
    {82, "TERRITORY_FLAG_5", 1}, {83, "TERRITORY_FLAG_6", 1}, {84, "TERRITORY_VALUE", 1},
    {85, "MAX_CHAR_LEN", 1}, {86, "CODESET_ASCII_BASED", 1}, {87, "CODESET_STATEFUL", 1},
    {88, "LOCALE_NAME", 1}, {89, "SHIFT_IN_BYTE", 1}, {90, "SHIFT_OUT_BYTE", 1},
};

std::string item_name(int32_t item) {
  for (const ItemName &entry : kItems)
    if (item >= entry.item && item < entry.item + entry.count)
      return std::string("PL_") + entry.name +
             (entry.count > 1 ? "+" + std::to_string(item - entry.item) : std::string());
  return "?";
}

// An item by number, or by name with or without "PL_" and an optional "+n".
int32_t parse_item(const char *text) {
  char *end = nullptr;
  long number = std::strtol(text, &end, 10);
  if (*text != '\0' && *end == '\0') return number >= 1 && number <= 90 ? static_cast<int32_t>(number) : 0;
  std::string name = text;
  if (strncasecmp(name.c_str(), "PL_", 3) == 0) name = name.substr(3);
  long offset = 0;
  if (size_t plus = name.find('+'); plus != std::string::npos) {
    offset = std::strtol(name.c_str() + plus + 1, nullptr, 10);
    name = name.substr(0, plus);
  }
  for (const ItemName &entry : kItems)
    if (strcasecmp(name.c_str(), entry.name) == 0 && offset >= 0 && offset < entry.count)
      return entry.item + static_cast<int32_t>(offset);
  return 0;
}

bool is_numeric(int32_t item) {
  switch (item) {
    case 1: case 5: case 9: case 11: case 58: case 63: case 69: case 70: case 73: case 74:
    case 75: case 76: case 77: case 78: case 82: case 83: case 84: case 85: case 86: case 87:
      return true;
    default:
      return false;
  }
}

// One line: number, name, value. False when the library refused the item.
bool print_item(PLLocale *locale, int32_t item) {
  std::string value;
  if (is_numeric(item)) {
    int32_t number = PLGetLocaleNumInfo(locale, item, 0);
    if (number < 0) return false;
    value = std::to_string(number);
  } else if (item >= 89) {
    char byte[4];
    if (PLGetLocaleTextInfoEx(locale, item, byte, 0, sizeof byte, 0) < 0) return false;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(byte[0]));
    value = hex;
  } else {
    PLUChar units[512];
    int32_t n = PLGetLocaleTextInfoU(locale, item, units, 512, 0);
    if (n < 0) return false;
    char utf8[3 * 512 + 1];
    pl::utf16_to_utf8(units, static_cast<size_t>(n - 1), utf8, sizeof utf8);
    value = std::string("\"") + utf8 + "\"";
  }
  std::printf("%3d  %-28s %s\n", item, item_name(item).c_str(), value.c_str());
  return true;
}

int usage() {
  std::fprintf(stderr, "usage: polyloc info LOCALE [ITEM...] [--dir DIR]\n");
  return 2;
}

}  // namespace

int info_command(int argc, char **argv) {
  const char *directory = nullptr, *name = nullptr;
  std::vector<int32_t> items;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dir") == 0) {
      if (i + 1 >= argc || directory != nullptr) return usage();
      directory = argv[++i];
    } else if (name == nullptr) {
      name = argv[i];
    } else {
      int32_t item = parse_item(argv[i]);
      if (item == 0) {
        std::fprintf(stderr, "polyloc: unknown item \"%s\"\n", argv[i]);
        return 2;
      }
      items.push_back(item);
    }
  }
  if (name == nullptr) return usage();
  if (items.empty())
    for (int32_t item = 1; item <= 90; ++item) items.push_back(item);

  int32_t code = PLInit(directory, nullptr, nullptr, nullptr, 0);
  if (code != PL_OK && code != PL_INIT_BUILTIN) {
    std::fprintf(stderr, "polyloc: the library could not be initialised (code %d)\n", code);
    return 1;
  }
  int32_t error = PL_OK;
  PLLocale *locale = PLGetLocale(name, 0, &error);
  if (locale == nullptr) {
    std::fprintf(stderr, "polyloc: no locale \"%s\" (code %d)\n", name, error);
    PLTerm();
    return 1;
  }
  int status = 0;
  for (int32_t item : items) {
    // Items 89 and 90 exist only for stateful code sets.
    if (!print_item(locale, item) && !(item >= 89 && items.size() > 2)) {
      std::fprintf(stderr, "polyloc: item %d: code %d\n", item, PLGetError(locale));
      status = 1;
    }
  }
  PLReleaseLocale(locale);
  return PLTerm() == PL_OK ? status : 1;
}
