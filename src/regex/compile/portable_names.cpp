// The portable character set's names, each with the unit it stands for.
#include "regex/compile/portable_names.h"

namespace pl::regex {
namespace {

struct PortableName {
  const char *name;
  char16_t unit;
};

// Every name with its alternatives, in code order.
constexpr PortableName kPortableNames[] = {
    {"NUL", 0x00}, {"SOH", 0x01}, {"STX", 0x02}, {"ETX", 0x03}, {"EOT", 0x04},
    {"ENQ", 0x05}, {"ACK", 0x06}, {"BEL", 0x07}, {"alert", 0x07}, {"BS", 0x08},
    {"backspace", 0x08}, {"HT", 0x09}, {"tab", 0x09}, {"LF", 0x0A}, {"newline", 0x0A},
    {"VT", 0x0B}, {"vertical-tab", 0x0B}, {"FF", 0x0C}, {"form-feed", 0x0C}, {"CR", 0x0D},
    {"carriage-return", 0x0D}, {"SO", 0x0E}, {"SI", 0x0F}, {"DLE", 0x10}, {"DC1", 0x11},
    {"DC2", 0x12}, {"DC3", 0x13}, {"DC4", 0x14}, {"NAK", 0x15}, {"SYN", 0x16},
    {"ETB", 0x17}, {"CAN", 0x18}, {"EM", 0x19}, {"SUB", 0x1A}, {"ESC", 0x1B},
    {"IS4", 0x1C}, {"FS", 0x1C}, {"IS3", 0x1D}, {"GS", 0x1D}, {"IS2", 0x1E},
    {"RS", 0x1E}, {"IS1", 0x1F}, {"US", 0x1F}, {"space", ' '}, {"exclamation-mark", '!'},
    {"quotation-mark", '"'}, {"number-sign", '#'}, {"dollar-sign", '$'},
    {"percent-sign", '%'}, {"ampersand", '&'}, {"apostrophe", '\''},
    {"left-parenthesis", '('}, {"right-parenthesis", ')'}, {"asterisk", '*'},
    {"plus-sign", '+'}, {"comma", ','}, {"hyphen", '-'}, {"hyphen-minus", '-'},
    {"period", '.'}, {"full-stop", '.'}, {"slash", '/'}, {"solidus", '/'}, {"zero", '0'},
    {"one", '1'}, {"two", '2'}, {"three", '3'}, {"four", '4'}, {"five", '5'}, {"six", '6'},
    {"seven", '7'}, {"eight", '8'}, {"nine", '9'}, {"colon", ':'}, {"semicolon", ';'},
    {"less-than-sign", '<'}, {"equals-sign", '='}, {"greater-than-sign", '>'},
    {"question-mark", '?'}, {"commercial-at", '@'}, {"left-square-bracket", '['},
    {"backslash", '\\'}, {"reverse-solidus", '\\'}, {"right-square-bracket", ']'},
    {"circumflex", '^'}, {"circumflex-accent", '^'}, {"underscore", '_'}, {"low-line", '_'},
    {"grave-accent", '`'}, {"left-brace", '{'}, {"left-curly-bracket", '{'},
    {"vertical-line", '|'}, {"right-brace", '}'}, {"right-curly-bracket", '}'},
    {"tilde", '~'}, {"DEL", 0x7F},
};
static_assert(sizeof(kPortableNames) / sizeof(kPortableNames[0]) == 95);

}  // namespace

bool names_equal(const char *name, const PLUChar *units, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (name[i] == '\0' || static_cast<unsigned char>(name[i]) != units[i]) return false;
  }
  return name[length] == '\0';
}

int32_t portable_character(const PLUChar *name, size_t length) {
  for (const PortableName &entry : kPortableNames) {
    if (names_equal(entry.name, name, length)) return entry.unit;
  }
  return -1;
}

}  // namespace pl::regex
