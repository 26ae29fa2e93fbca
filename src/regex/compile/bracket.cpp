// Bracket expressions: members, ranges, classes, equivalence classes and collating
// elements, then case and inversion; and the word assertions that share the `[`.
#include "charset/unicode/unicode_type_table.h"
#include "charset/unicode/unicode_types.h"
#include "frame/memory.h"
#include "regex/compile/compiler.h"
#include "regex/compile/portable_names.h"
#include "string/collate/collation_services.h"

namespace pl::regex {
namespace {

struct ClassMask {
  const char *name;
  uint32_t mask;  // class bits of the type word
};

constexpr ClassMask kClasses[] = {
    {"alpha", 0x1},   {"alnum", 0x9},  {"blank", 0x80}, {"cntrl", 0x100},
    {"digit", 0x8},   {"graph", 0x29}, {"lower", 0x4},  {"print", 0xA9},
    {"punct", 0x20},  {"space", 0x40}, {"upper", 0x2},  {"xdigit", 0x10},
};

constexpr PLUChar kNewline = 0x0A;
constexpr char16_t kBeginWord[] = u"[:<:]]";
constexpr char16_t kEndWord[] = u"[:>:]]";
constexpr size_t kWordAssertionUnits = 6;

bool at_text(const Compiler &c, const char16_t *text) {
  if (c.left() < kWordAssertionUnits) return false;
  for (size_t i = 0; i < kWordAssertionUnits; ++i) {
    if (c.position()[i] != text[i]) return false;
  }
  return true;
}

void add_collating(Compiler &c, uint32_t set, const CollatingElement &element) {
  if (element.length == 1)
    c.add_to_set(set, element.units[0]);
  else
    c.add_element(element);
}

// The class named by the alphabetic run after "[:".
void parse_class(Compiler &c, uint32_t set) {
  const PLUChar *name = c.position();
  while (c.more() && unicode_is(UnicodeClass::alpha, static_cast<uint16_t>(c.peek()))) c.skip(1);
  size_t length = static_cast<size_t>(c.position() - name);
  for (const ClassMask &entry : kClasses) {
    if (!names_equal(entry.name, name, length)) continue;
    // Units outside every range have no class bits; 0xFFFF is never a member.
    for (const UnicodeTypeRange &range : kUnicodeTypeRanges) {
      if ((range.type & entry.mask) == 0) continue;
      for (uint32_t unit = range.first; unit <= range.last && unit < 0xFFFF; ++unit)
        c.add_to_set(set, unit);
    }
    return;
  }
  c.set_error(PL_ERR_REGEX_CLASS);
}

// The element named up to `end` `]`: a portable character name, one unit, or two.
bool parse_element_name(Compiler &c, PLUChar end, CollatingElement *element) {
  const PLUChar *name = c.position();
  while (c.more() && !c.see_two(end, ']')) c.skip(1);
  if (!c.require(c.more(), PL_ERR_REGEX_BRACKET)) return false;
  size_t length = static_cast<size_t>(c.position() - name);
  int32_t named = portable_character(name, length);
  if (named >= 0) {
    *element = {{static_cast<PLUChar>(named), 0}, 1};
  } else if (length == 1 || length == 2) {
    *element = {{name[0], length == 2 ? name[1] : PLUChar{0}}, static_cast<uint8_t>(length)};
  } else {
    c.set_error(PL_ERR_REGEX_COLLATE);
    return false;
  }
  return true;
}

// Every unit and two-unit element that the locale's collation puts in the element's
// equivalence class, and the element itself.
void add_equivalents(Compiler &c, uint32_t set, const CollatingElement &element) {
  const ControlEntry *collation = c.handle()->collation;
  size_t contractions = collation_contraction_count(collation);
  HeapArray<uint16_t> units(65536);
  HeapArray<UnitTriple> triples(contractions);
  if (units.data() == nullptr || (contractions != 0 && triples.data() == nullptr)) {
    c.set_error(PL_ERR_NO_MEMORY);
    return;
  }
  size_t triple_count = 0;
  PLUChar second = element.length == 2 ? element.units[1] : PLUChar{0};
  size_t count = list_collation_equivalents(collation, element.units[0], second, units.data(),
                                            &triple_count, triples.data());
  for (size_t i = 0; i < count; ++i) c.add_to_set(set, units.data()[i]);
  for (size_t i = 0; i < triple_count; ++i) {
    const UnitTriple &t = triples.data()[i];
    c.add_element({{t[0], t[1]}, 2});
  }
  add_collating(c, set, element);
}

// A single unit, or `[.name.]`.
bool parse_symbol(Compiler &c, CollatingElement *element) {
  if (!c.require(c.more(), PL_ERR_REGEX_BRACKET)) return false;
  if (!c.eat_two('[', '.')) {
    *element = {{c.get_next(), 0}, 1};
    return true;
  }
  return parse_element_name(c, '.', element) &&
         c.require(c.eat_two('.', ']'), PL_ERR_REGEX_COLLATE);
}

// `[:class:]` or `[=element=]` after its opening two units.
void parse_named_term(Compiler &c, uint32_t set, PLUChar kind) {
  Code bad = kind == ':' ? PL_ERR_REGEX_CLASS : PL_ERR_REGEX_COLLATE;
  if (!c.require(c.more(), PL_ERR_REGEX_BRACKET)) return;
  if (!c.require(!c.see('-') && !c.see(']'), bad)) return;
  if (kind == ':') {
    parse_class(c, set);
  } else {
    CollatingElement element;
    if (parse_element_name(c, '=', &element)) add_equivalents(c, set, element);
  }
  if (c.require(c.more(), PL_ERR_REGEX_BRACKET)) c.require(c.eat_two(kind, ']'), bad);
}

// One term: a class, an equivalence class, a member or a range.
void parse_term(Compiler &c, uint32_t set) {
  if (c.see('-')) {
    c.set_error(PL_ERR_REGEX_RANGE);
    return;
  }
  uint32_t kind = c.see('[') ? c.peek2() : 0;
  if (kind == ':' || kind == '=') {
    c.skip(2);
    parse_named_term(c, set, static_cast<PLUChar>(kind));
    return;
  }
  CollatingElement first;
  if (!parse_symbol(c, &first)) return;
  if (!(c.see('-') && c.more2() && c.peek2() != ']')) {
    add_collating(c, set, first);
    return;
  }
  c.skip(1);
  CollatingElement last = {{'-', 0}, 1};
  if (!c.eat('-') && !parse_symbol(c, &last)) return;
  c.require(first.length == 1 && last.length == 1 &&
                add_range(c, set, first.units[0], last.units[0]),
            PL_ERR_REGEX_RANGE);
}

}  // namespace

void finish_set(Compiler &c, uint32_t index, bool invert) {
  BracketSet &s = c.set(index);
  if (c.has_flag(PL_REG_ICASE)) c.add_other_cases(index);
  if (invert) {
    c.invert_set(index);
    if (c.has_flag(PL_REG_NEWLINE)) s.bits[kNewline] &= static_cast<uint8_t>(~s.mask);
  }
  c.emit_set(index);
}

// The inverse of the empty set, which the newline-sensitive flag keeps from newline.
void emit_non_newline(Compiler &c) {
  int32_t set = c.new_set();
  if (set >= 0) finish_set(c, static_cast<uint32_t>(set), true);
}

void parse_bracket(Compiler &c) {
  if (at_text(c, kBeginWord) || at_text(c, kEndWord)) {
    c.emit(at_text(c, kBeginWord) ? kBow : kEow, 0);
    c.skip(kWordAssertionUnits);
    return;
  }
  int32_t set = c.new_set();
  if (set < 0) return;
  uint32_t index = static_cast<uint32_t>(set);
  bool invert = c.eat('^');
  if (c.eat(']'))
    c.add_to_set(index, ']');
  else if (c.eat('-'))
    c.add_to_set(index, '-');
  while (c.more() && !c.see(']') && !c.see_two('-', ']')) parse_term(c, index);
  if (c.eat('-')) c.add_to_set(index, '-');
  if (c.require(c.eat(']'), PL_ERR_REGEX_BRACKET)) finish_set(c, index, invert);
}

}  // namespace pl::regex
