#include "collation/source_line.h"

#include <cctype>

namespace plc::collation {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool is_hex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
uint32_t hex_digit(char c) {
  return static_cast<uint32_t>(c <= '9' ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

// Reads a line left to right; every read skips the blanks before it.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool at_end() {
    skip_blanks();
    return at_ == text_.size();
  }
  bool peek(char c) {
    skip_blanks();
    return at_ < text_.size() && text_[at_] == c;
  }
  bool take(char c) {
    if (!peek(c)) return false;
    ++at_;
    return true;
  }
  std::string_view word() {
    skip_blanks();
    size_t start = at_;
    while (at_ < text_.size() && !is_blank(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }
  // Exactly `digits` hexadecimal digits, not followed by another one.
  bool hex(int digits, uint32_t &value) {
    skip_blanks();
    value = 0;
    for (int i = 0; i < digits; ++i, ++at_) {
      if (at_ >= text_.size() || !is_hex(text_[at_])) return false;
      value = value * 16 + hex_digit(text_[at_]);
    }
    return at_ >= text_.size() || !is_hex(text_[at_]);
  }

 private:
  void skip_blanks() {
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
  }

  std::string_view text_;
  size_t at_ = 0;
};

// A whole word of 1..max_digits hexadecimal digits.
bool hex_word(std::string_view word, size_t max_digits, uint32_t &value) {
  if (word.empty() || word.size() > max_digits) return false;
  Cursor cursor(word);
  return cursor.hex(static_cast<int>(word.size()), value);
}

// "U+XXXX": a BMP unit, four digits.
bool unit_word(std::string_view word, uint16_t &unit) {
  uint32_t value = 0;
  if (word.substr(0, 2) != "U+" || word.size() != 6 || !hex_word(word.substr(2), 4, value))
    return false;
  unit = static_cast<uint16_t>(value);
  return true;
}

// "[PPPP SS TT]" or "[*WWWW]" after its "[", or the "]" of "[]" (count stays 0).
bool element(Cursor &cursor, UnitElements &out, std::string &error) {
  if (cursor.take(']')) {
    if (out.count == 0) return true;
    error = "\"[]\" cannot follow an element";
    return false;
  }
  if (out.count == 2) {
    error = "a unit has at most two elements";
    return false;
  }
  Element &e = out.element[out.count++];
  uint32_t weight = 0, secondary = 0, tertiary = 0;
  if (cursor.take('*')) {
    e.special = true;
    if (!cursor.hex(4, weight) || !cursor.take(']')) {
      error = "a special element is [*WWWW]";
      return false;
    }
  } else if (!cursor.hex(4, weight) || !cursor.hex(2, secondary) || !cursor.hex(2, tertiary) ||
             !cursor.take(']')) {
    error = "an element is [PPPP SS TT] or [*WWWW]";
    return false;
  }
  e.weight = static_cast<uint16_t>(weight);
  e.secondary = static_cast<uint8_t>(secondary);
  e.tertiary = static_cast<uint8_t>(tertiary);
  if (weight == 0 && secondary == 0 && tertiary == 0) {
    error = "an element without weights: write [] for an ignorable unit";
    return false;
  }
  return true;
}

// The rest of a unit or contraction line: "[]", or one or two elements.
bool elements(Cursor &cursor, UnitElements &out, std::string &error) {
  bool empty = false;
  do {
    if (!cursor.take('[')) {
      error = "expected an element in [...]";
      return false;
    }
    if (empty) {
      error = "\"[]\" stands alone";
      return false;
    }
    if (!element(cursor, out, error)) return false;
    empty = out.count == 0;
  } while (!cursor.at_end());
  if (out.count == 2 && (out.element[0].special || out.element[1].special)) {
    error = "the two elements of an expansion cannot be special";
    return false;
  }
  return true;
}

bool directive_value(Cursor &cursor, size_t digits, uint8_t &value, std::string &error,
                     const char *shape) {
  uint32_t parsed = 0;
  if (!hex_word(cursor.word(), digits, parsed)) {
    error = std::string("expected ") + shape;
    return false;
  }
  value = static_cast<uint8_t>(parsed);
  return true;
}

}  // namespace

bool parse_source_line(std::string_view text, SourceLine &out, std::string &error) {
  out = SourceLine();
  Cursor cursor(text.substr(0, text.find('#')));
  if (cursor.at_end()) return true;
  std::string_view key = cursor.word();
  bool parsed = true;
  if (key == "base") {
    out.kind = LineKind::base;
    out.name = cursor.word();
    for (char c : out.name)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') parsed = false;
    if (out.name.empty() || !parsed) {
      error = "base needs a collation name (letters, digits, - and _)";
      return false;
    }
  } else if (key == "default-secondary" || key == "default-tertiary") {
    out.kind = key == "default-secondary" ? LineKind::default_secondary : LineKind::default_tertiary;
    if (!directive_value(cursor, 2, out.value, error, "a hexadecimal byte")) return false;
    if (out.value == 0) {
      error = "a default weight is not 0";
      return false;
    }
  } else if (key == "order-bits") {
    out.kind = LineKind::order_bits;
    if (!directive_value(cursor, 1, out.value, error, "one hexadecimal digit")) return false;
  } else if (key == "remap-secondary" || key == "remap-tertiary") {
    out.kind = key == "remap-secondary" ? LineKind::remap_secondary : LineKind::remap_tertiary;
    if (!directive_value(cursor, 2, out.value, error, "two hexadecimal bytes") ||
        !directive_value(cursor, 2, out.new_value, error, "two hexadecimal bytes"))
      return false;
    if (out.value == 0 || out.new_value == 0) {
      error = "a remap changes one weight into another; 0 is no weight";
      return false;
    }
  } else if (key == "contraction") {
    out.kind = LineKind::contraction;
    if (!unit_word(cursor.word(), out.first) || !unit_word(cursor.word(), out.last)) {
      error = "a contraction names two units U+XXXX";
      return false;
    }
    if (!elements(cursor, out.elements, error)) return false;
    if (out.elements.count > 1) {
      error = "a contraction has one element";
      return false;
    }
  } else if (size_t dots = key.find(".."); dots != std::string_view::npos) {
    out.kind = LineKind::range;
    uint32_t primary = 0;
    if (!unit_word(key.substr(0, dots), out.first) || !unit_word(key.substr(dots + 2), out.last) ||
        out.last < out.first || !cursor.take('[') || !cursor.hex(4, primary) || !cursor.take('+') ||
        !cursor.take(']')) {
      error = "a range is U+XXXX..U+YYYY [PPPP+], its first unit not after its last";
      return false;
    }
    if (primary == 0 || primary + (out.last - out.first) > 0xFFFF) {
      error = "the range's primaries must lie in 0001..FFFF";
      return false;
    }
    out.elements.count = 1;
    out.elements.element[0].weight = static_cast<uint16_t>(primary);
  } else if (key.substr(0, 2) == "U+") {
    out.kind = LineKind::unit;
    if (!unit_word(key, out.first)) {
      error = "a unit is U+XXXX, four hexadecimal digits";
      return false;
    }
    if (!elements(cursor, out.elements, error)) return false;
  } else {
    error = "unknown line \"" + std::string(key) + "\"";
    return false;
  }
  if (!cursor.at_end()) {
    error = "unexpected text at the end of the line";
    return false;
  }
  return true;
}

}  // namespace plc::collation
