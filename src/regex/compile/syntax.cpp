// The extended, basic and literal syntaxes, and repetition by copying the atom.
#include "charset/unicode/unicode_types.h"
#include "regex/compile/compiler.h"
#include "string/unicode/unicode_mapping.h"

namespace pl::regex {
namespace {

// No unit stops the top-level parse.
constexpr uint32_t kNoStop = kNoUnit;

bool is_digit(uint32_t unit) {
  return unit < 128 && unicode_is(UnicodeClass::digit, static_cast<uint16_t>(unit));
}

// A count of an interval: decimal digits, at most 255.
uint32_t parse_count(Compiler &c) {
  uint32_t count = 0;
  int digits = 0;
  while (c.more() && is_digit(c.peek()) && count <= kMaxCount) {
    count = count * 10 + (c.get_next() - '0');
    ++digits;
  }
  c.require(digits > 0 && count <= kMaxCount, PL_ERR_REGEX_COUNT);
  return count;
}

void emit_anchor(Compiler &c, Op op) {
  c.emit(op, 0);
  Program &g = c.program();
  if (op == kBol) {
    g.internal_flags |= kUsesBol;
    ++g.nbol;
  } else {
    g.internal_flags |= kUsesEol;
    ++g.neol;
  }
}

void emit_any(Compiler &c) {
  if (c.has_flag(PL_REG_NEWLINE))
    emit_non_newline(c);
  else
    c.emit(kAny, 0);
}

// x+ over the atom at `pos`.
void make_plus(Compiler &c, size_t pos) {
  c.insert(kOpenPlus, pos);
  c.astern(kClosePlus, pos);
}

// x* as an optional x+.
void make_star(Compiler &c, size_t pos) {
  make_plus(c, pos);
  c.insert(kOpenQuest, pos);
  c.astern(kCloseQuest, pos);
}

// Closes the optional part opened by the kOpenAlt at `pos`: the alternation of what
// follows it and nothing.
void close_optional(Compiler &c, size_t pos) {
  c.astern(kAltBranch, pos);
  c.ahead(pos);
  c.emit(kLastBranch, 0);
  c.ahead(c.here() - 1);
  c.astern(kCloseAlt, c.here() - 2);
}

// x? over the atom at `pos`.
void make_optional(Compiler &c, size_t pos) {
  c.insert(kOpenAlt, pos);
  close_optional(c, pos);
}

// `count` nested optional copies of the atom [start, finish) at the end: x(x(x)?)?...
// Each opens before its copy, so nothing already written moves.
void optional_copies(Compiler &c, size_t start, size_t finish, uint32_t count) {
  if (count == 0 || c.error() != PL_OK) return;
  size_t open = c.here();
  c.emit(kOpenAlt, 0);
  c.duplicate(start, finish);
  optional_copies(c, start, finish, count - 1);
  close_optional(c, open);
}

// The atom from `start` to the end repeated from `low` to `high` times (kOpenBound: no
// limit): `low` copies followed by `high` - `low` nested optional copies.
void repeat(Compiler &c, size_t start, uint32_t low, uint32_t high) {
  if (c.error() != PL_OK) return;
  size_t finish = c.here();
  if (high == 0) {
    c.drop(finish - start);
    return;
  }
  if (low == 0) {
    if (high == kOpenBound) {
      make_star(c, start);
      return;
    }
    repeat(c, start, 1, high);
    make_optional(c, start);
    return;
  }
  size_t last = start;
  for (uint32_t i = 1; i < low; ++i) last = c.duplicate(start, finish);
  if (high == kOpenBound)
    make_plus(c, last);
  else
    optional_copies(c, start, finish, high - low);
}

// The counts after `{` (or `\{`): {m}, {m,} or {m,n}; then the repetition.
void parse_interval(Compiler &c, size_t pos) {
  uint32_t low = parse_count(c);
  uint32_t high = low;
  if (c.eat(',')) {
    if (is_digit(c.peek())) {
      high = parse_count(c);
      c.require(low <= high, PL_ERR_REGEX_COUNT);
    } else {
      high = kOpenBound;
    }
  }
  repeat(c, pos, low, high);
}

// After the counts: a missing close is 87 at the end of the pattern, else 88.
void close_interval(Compiler &c, bool closed, bool basic) {
  if (closed) return;
  while (c.more() && !(basic ? c.see_two('\\', '}') : c.see('}'))) c.skip(1);
  c.require(c.more(), PL_ERR_REGEX_BRACE);
  c.set_error(PL_ERR_REGEX_COUNT);
}

bool repetition_follows(const Compiler &c) {
  uint32_t u = c.peek();
  return u == '*' || u == '+' || u == '?' || (u == '{' && is_digit(c.peek2()));
}

void parse_branches(Compiler &c, uint32_t stop);
void parse_basic_sequence(Compiler &c, bool group);

// Opens the next subexpression, remembering where it starts for back references.
uint32_t open_group(Compiler &c) {
  c.require(++c.nesting <= kMaxNesting, PL_ERR_NO_MEMORY);
  uint32_t number = ++c.program().nsub;
  if (number < kBackrefLimit) c.paren_begin[number] = c.here();
  c.emit(kOpenParen, number);
  return number;
}

void close_group(Compiler &c, uint32_t number) {
  --c.nesting;
  if (number < kBackrefLimit) c.paren_end[number] = c.here();
  c.emit(kCloseParen, number);
}

// One atom of the extended syntax and the repetition after it.
void parse_extended_atom(Compiler &c) {
  PLUChar unit = c.get_next();
  size_t pos = c.here();
  bool was_caret = false;
  switch (unit) {
    case '(': {
      if (!c.require(c.more(), PL_ERR_REGEX_PAREN)) break;
      uint32_t number = open_group(c);
      if (!c.see(')')) parse_branches(c, ')');
      close_group(c, number);
      c.require(c.eat(')'), PL_ERR_REGEX_PAREN);
      break;
    }
    case ')':
      c.set_error(PL_ERR_REGEX_PAREN);
      break;
    case '^':
      emit_anchor(c, kBol);
      was_caret = true;
      break;
    case '$':
      emit_anchor(c, kEol);
      break;
    case '*':
    case '+':
    case '?':
      c.set_error(PL_ERR_REGEX_REPEAT);
      break;
    case '.':
      emit_any(c);
      break;
    case '[':
      parse_bracket(c);
      break;
    case '\\':
      if (c.require(c.more(), PL_ERR_REGEX_ESCAPE)) ordinary(c, c.get_next());
      break;
    case '{':
      if (c.require(!is_digit(c.peek()), PL_ERR_REGEX_REPEAT)) ordinary(c, unit);
      break;
    default:
      ordinary(c, unit);
      break;
  }

  if (!repetition_follows(c)) return;
  PLUChar op = c.get_next();
  if (!c.require(!was_caret, PL_ERR_REGEX_REPEAT)) return;
  switch (op) {
    case '*':
      make_star(c, pos);
      break;
    case '+':
      make_plus(c, pos);
      break;
    case '?':
      make_optional(c, pos);
      break;
    default:
      parse_interval(c, pos);
      close_interval(c, c.eat('}'), false);
      break;
  }
  if (repetition_follows(c)) c.set_error(PL_ERR_REGEX_REPEAT);
}

// Branches separated by `|` up to `stop`; more than one make an alternation.
void parse_branches(Compiler &c, uint32_t stop) {
  size_t start = c.here();
  bool first = true;
  size_t previous_forward = 0;
  size_t previous_back = 0;
  for (;;) {
    size_t branch = c.here();
    while (c.more() && !c.see('|') && !c.see(stop)) parse_extended_atom(c);
    c.require(c.here() != branch, PL_ERR_REGEX_EMPTY);
    if (!c.eat('|')) break;
    if (first) {
      c.insert(kOpenAlt, start);
      previous_forward = start;
      previous_back = start;
      first = false;
    }
    c.astern(kAltBranch, previous_back);
    previous_back = c.here() - 1;
    c.ahead(previous_forward);
    previous_forward = c.here();
    c.emit(kLastBranch, 0);
  }
  if (!first) {
    c.ahead(previous_forward);
    c.astern(kCloseAlt, previous_back);
  }
}

// One atom of the basic syntax and the repetition after it; true when it was an
// unescaped `$` without repetition (an anchor if nothing follows).
bool parse_basic_atom(Compiler &c, bool star_ordinary) {
  size_t pos = c.here();
  uint32_t unit = c.get_next();
  bool escaped = false;
  if (unit == '\\') {
    if (!c.require(c.more(), PL_ERR_REGEX_ESCAPE)) return false;
    unit = c.get_next();
    escaped = true;
  }
  if (!escaped && unit == '.') {
    emit_any(c);
  } else if (!escaped && unit == '[') {
    parse_bracket(c);
  } else if (escaped && unit == '{') {
    c.set_error(PL_ERR_REGEX_REPEAT);
  } else if (escaped && unit == '(') {
    uint32_t number = open_group(c);
    if (c.more()) parse_basic_sequence(c, true);
    close_group(c, number);
    c.require(c.eat_two('\\', ')'), PL_ERR_REGEX_PAREN);
  } else if (escaped && (unit == ')' || unit == '}')) {
    c.set_error(PL_ERR_REGEX_PAREN);
  } else if (escaped && unit >= '1' && unit <= '9') {
    size_t number = unit - '0';
    if (c.paren_end[number] != 0) {
      c.emit(kOpenBackref, static_cast<uint32_t>(number));
      c.duplicate(c.paren_begin[number] + 1, c.paren_end[number]);
      c.emit(kCloseBackref, static_cast<uint32_t>(number));
    } else {
      c.set_error(PL_ERR_REGEX_BACKREF);
    }
    c.program().backrefs = 1;
  } else if (!escaped && unit == '*' && !star_ordinary) {
    c.set_error(PL_ERR_REGEX_REPEAT);
  } else {
    ordinary(c, static_cast<PLUChar>(unit));
  }

  if (c.eat('*')) {
    make_star(c, pos);
  } else if (c.eat_two('\\', '{')) {
    parse_interval(c, pos);
    close_interval(c, c.eat_two('\\', '}'), true);
  } else if (!escaped && unit == '$') {
    return true;
  }
  return false;
}

// A basic expression up to the end of the pattern, or in a group up to `\)`.
void parse_basic_sequence(Compiler &c, bool group) {
  size_t start = c.here();
  if (c.eat('^')) emit_anchor(c, kBol);
  bool first = true;
  bool was_dollar = false;
  while (c.more() && !(group && c.see_two('\\', ')'))) {
    was_dollar = parse_basic_atom(c, first);
    first = false;
  }
  if (was_dollar && c.error() == PL_OK) {
    c.drop(1);
    emit_anchor(c, kEol);
  }
  c.require(c.here() != start, PL_ERR_REGEX_EMPTY);
}

}  // namespace

PLUChar other_case(PLUChar unit) {
  PLUChar lower = unicode_lower(unit);
  return lower != unit ? lower : unicode_upper(unit);
}

void ordinary(Compiler &c, PLUChar unit) {
  if (!c.has_flag(PL_REG_ICASE) || other_case(unit) == unit) {
    c.emit(kChar, unit);
    return;
  }
  Compiler::CaseSet &cached = c.case_sets[unit % Compiler::kCaseSlots];
  if (cached.set >= 0 && cached.unit == unit) {
    c.emit(kAnyOf, static_cast<uint32_t>(cached.set));
    return;
  }
  int32_t set = c.new_set();
  if (set < 0) return;
  c.add_to_set(static_cast<uint32_t>(set), unit);
  finish_set(c, static_cast<uint32_t>(set), false);
  if (c.error() == PL_OK)
    cached = {unit, static_cast<int32_t>(operand_of(c.program().strip[c.here() - 1]))};
}

void parse_extended(Compiler &c) { parse_branches(c, kNoStop); }

void parse_basic(Compiler &c) { parse_basic_sequence(c, false); }

void parse_literal(Compiler &c) {
  c.require(c.more(), PL_ERR_REGEX_EMPTY);
  while (c.more()) ordinary(c, c.get_next());
}

}  // namespace pl::regex
