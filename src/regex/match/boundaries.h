// What holds at a position of the subject between two units: the beginning or end of a
// line, of a word. The automaton turns these into pseudo-characters, the backtracking
// search tests them directly; both read them here so that they agree.
#pragma once

#include <cstddef>

#include "charset/unicode/unicode_types.h"
#include "regex/match/passes.h"

namespace pl::regex {

inline bool is_word_unit(PLUChar unit) {
  return unit == u'_' || unicode_is(UnicodeClass::alnum, unit);
}

class Boundaries {
 public:
  Boundaries(const Subject &subject, bool newline) : subject_(subject), newline_(newline) {}

  // ^ at `at`: the start of a text that begins a line, or behind a newline under
  // PL_REG_NEWLINE.
  bool bol(size_t at) const {
    if (at == 0) return !subject_.not_bol;
    return newline_ && subject_.units[at - 1] == u'\n';
  }
  // $ at `at`: the end of the text, or before a newline under PL_REG_NEWLINE.
  bool eol(size_t at) const {
    if (at == subject_.length) return true;
    return newline_ && subject_.units[at] == u'\n';
  }
  bool word_before(size_t at) const { return at > 0 && is_word_unit(subject_.units[at - 1]); }
  bool word_after(size_t at) const {
    return at < subject_.length && is_word_unit(subject_.units[at]);
  }
  // A word begins where a word unit follows the start of a line or a unit that is not
  // one; the start of a text that does not begin a line is neither.
  bool bow(size_t at) const {
    return word_after(at) && ((at == 0 && bol(at)) || (at > 0 && !word_before(at)));
  }
  // A word ends where a word unit precedes the end of the text or a unit that is not one.
  bool eow(size_t at) const {
    return word_before(at) && (at == subject_.length || !word_after(at));
  }

  // Whether the anchor or word assertion `op` holds at `at`.
  bool holds(Op op, size_t at) const {
    switch (op) {
      case kBol: return bol(at);
      case kEol: return eol(at);
      case kBow: return bow(at);
      default: return eow(at);
    }
  }

 private:
  const Subject &subject_;
  bool newline_;
};

}  // namespace pl::regex
