// Text between UTF-8, in which the commands take their arguments, and a locale's code
// set.
#pragma once

#include <string>
#include <vector>

#include "polyloc.h"

class Converter {
 public:
  Converter(PLLocale *locale, PLLocale *utf8) : locale_(locale), utf8_(utf8) {}

  // `text` in the locale's code set, closed in the single-byte state; false when a
  // character has no equivalent there.
  bool to_locale(const std::string &text, std::string *out) const;

  // The characters of locale text as wide characters, 0-terminated.
  std::vector<PLWChar> wide(const std::string &text) const;

  // Whether the UTF-8 character at `text` (`length` bytes) is one byte in the locale.
  bool single_byte(const char *text, size_t length) const;

 private:
  PLLocale *locale_, *utf8_;
};

