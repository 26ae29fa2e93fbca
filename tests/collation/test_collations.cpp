#include "collation/test_collations.h"

#include <cstdio>

namespace pltest {
namespace {

std::string unit_line(unsigned unit, const char *element, unsigned weight) {
  char line[64];
  std::snprintf(line, sizeof line, "U+%04X ", unit);
  std::string text = line;
  std::snprintf(line, sizeof line, element, weight);
  return text + line + "\n";
}

std::string test_source() {
  std::string s =
      "default-secondary 05\ndefault-tertiary 05\n"
      "U+0027 [*0011]\nU+002D [*0010]\nU+0030..U+0039 [0800+]\n"
      "U+00E9 [1040 06 05]\nU+00C9 [1040 06 06]\n"
      "U+00C6 [1000 05 06][1040 05 06]\nU+00E6 [1000 05 05][1040 05 05]\n"
      "U+0300 [0000 05 05]\nU+0301 [0000 06 05]\n"
      "contraction U+0063 U+0068 [1025 05 05]\ncontraction U+0043 U+0048 [1025 05 06]\n"
      "contraction U+0027 U+0027 [*0030]\n"
      "U+4E00..U+4EFF [8000+]\n";
  for (unsigned i = 0; i < 26; ++i) {
    unsigned primary = 0x1000 + 0x10 * i;
    s += unit_line('a' + i, "[%04X 05 05]", primary) + unit_line('A' + i, "[%04X 05 06]", primary) +
         unit_line(0xFF21 + i, "[%04X 05 07]", primary) + unit_line(0xFF41 + i, "[%04X 05 08]", primary);
  }
  for (unsigned low = 0; low < 256; ++low) s += unit_line(0xE000 + low, "[*%04X]", 0x100 + low);
  return s;
}

}  // namespace

std::vector<SyntheticCollation> test_collations() {
  return {
      {"Test", test_source()},
      {"TestB", "base Test\norder-bits B\n",
       [](std::vector<uint8_t> &table) { set_record_order(table, 'x', 0xF); }},
      {"TestP", "base Test\norder-bits 7\n"},
  };
}

}  // namespace pltest
