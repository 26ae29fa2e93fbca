"""Case pairs of a language from the language-conditional rules of SpecialCasing.txt.

Used by glibc_locales.py. A language's case pairs are entries
<unit> <second unit or 0> <result> <second result or 0> (UTF-16 units, BMP); the
library maps a character u like this:
- upper case: the fixed table of unconditional multi-unit uppercase forms first,
  then the entry (u, 0), then the entry (u, next unit), else the one-to-one
  uppercase;
- lower case: the entry (u, 0), then the entry (u, next unit), else the one-to-one
  lowercase.
An entry whose second unit is not 0 consumes the next character too.

A rule becomes an entry when it fits that shape and changes what the library
does without it:
- A rule without a context maps (u, 0) to its one or two result units.
- Not_Before_Dot maps (u, 0) as well, without its condition: the exception (u
  before U+0307) would be an entry (u, U+0307), which the lookup never reaches
  behind (u, 0).
- After_Soft_Dotted and After_I (a mark that changes after a base) map (base,
  mark) to the base's own mapping followed by the mark's, for every BMP base
  the context names (Soft_Dotted of PropList.txt; I is U+0049). Only the mark
  right after the base is covered.
Everything else is left out with a note (`Rule.reason`, or from `merge`):
results of three or more units, contexts an entry cannot see (More_Above,
Before_Dot and any unknown one), results the library gives anyway, and entries
that the lookup never reaches. Rules without a language (Final_Sigma) are not
read.
"""

import os

BMP = 0x10000
CAPITAL_I = 0x0049


def _data_lines(path):
    """(line number, fields) of each data line of a UCD file."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            body = line.split("#", 1)[0].strip()
            if body:
                yield number, [field.strip() for field in body.split(";")]


def _units(text):
    return [int(u, 16) for u in text.split()]


def _hex(units):
    return " ".join("U+%04X" % u for u in units) if units else "nothing"


class Entry:
    """One case pair with the lines that say where it came from."""

    def __init__(self, unit, next_unit, result, sources):
        self.unit = unit
        self.next_unit = next_unit
        self.result = list(result)
        self.sources = list(sources)

    @property
    def key(self):
        return (self.unit, self.next_unit)

    def fields(self):
        second = self.result[1] if len(self.result) > 1 else 0
        return self.unit, self.next_unit, self.result[0], second


class SpecialCasing:
    """The UCD files the rules need: SpecialCasing.txt, UnicodeData.txt, PropList.txt."""

    def __init__(self, folder):
        self.folder = folder
        self.simple_upper = {}
        self.simple_lower = {}
        self.category = {}
        for _, fields in _data_lines(os.path.join(folder, "UnicodeData.txt")):
            cp = int(fields[0], 16)
            if cp >= BMP:
                continue
            self.category[cp] = fields[2]
            if fields[12]:
                self.simple_upper[cp] = int(fields[12], 16)
            if fields[13]:
                self.simple_lower[cp] = int(fields[13], 16)
        self.soft_dotted = []
        for _, fields in _data_lines(os.path.join(folder, "PropList.txt")):
            if fields[1] == "Soft_Dotted":
                first, _, last = fields[0].partition("..")
                self.soft_dotted.extend(range(int(first, 16), int(last or first, 16) + 1))
        self.soft_dotted.sort()
        # Unconditional full mappings, and the language-conditional rules.
        self.full = {"upper": {}, "lower": {}}
        self.rules = []
        path = os.path.join(folder, "SpecialCasing.txt")
        for number, fields in _data_lines(path):
            cp = int(fields[0], 16)
            conditions = fields[4].split() if len(fields) > 4 else []
            if not conditions:
                self.full["lower"][cp] = _units(fields[1])
                self.full["upper"][cp] = _units(fields[3])
                continue
            languages = [c.lower() for c in conditions if "_" not in c]
            contexts = [c for c in conditions if "_" in c]
            for language in languages:
                for direction, field in (("lower", fields[1]), ("upper", fields[3])):
                    self.rules.append(Rule(number, cp, language, contexts, direction,
                                           _units(field)))
        # The library's fixed uppercase table, which the upper lookup takes first: the
        # unconditional multi-unit uppercase forms of lowercase letters, and U+03A3.
        self.fixed_upper = {cp for cp, units in self.full["upper"].items()
                            if cp < BMP and len(units) > 1 and self.category.get(cp) == "Ll"}
        self.fixed_upper.add(0x03A3)

    def default(self, direction, cp):
        """The full mapping when no language rule applies."""
        if cp in self.full[direction]:
            return self.full[direction][cp]
        simple = self.simple_upper if direction == "upper" else self.simple_lower
        return [simple.get(cp, cp)]

    def library(self, direction, cp):
        """What the library gives for cp without a case pair."""
        if direction == "upper" and cp in self.fixed_upper:
            return self.full["upper"][cp] if cp in self.full["upper"] else [cp]
        simple = self.simple_upper if direction == "upper" else self.simple_lower
        return [simple.get(cp, cp)]

    def languages(self):
        return sorted({rule.language for rule in self.rules})

    def language_rules(self, language, direction):
        """The rules of `language` that change `direction`, in file order, each with
        its entries or the reason it has none."""
        rules = [r for r in self.rules if r.language == language.lower()
                 and r.direction == direction and r.mapping != self.default(direction, r.cp)]
        for rule in rules:
            rule.derive(self)
        return rules


class Rule:
    """One direction of one language-conditional line of SpecialCasing.txt."""

    def __init__(self, line, cp, language, contexts, direction, mapping):
        self.line = line
        self.cp = cp
        self.language = language
        self.contexts = contexts
        self.direction = direction
        self.mapping = mapping
        self.entries = []
        self.reason = None

    def condition(self):
        return " ".join([self.language] + self.contexts)

    def source(self, base=None):
        """Where an entry comes from; with a base, the mark's change after it."""
        text = "SpecialCasing.txt line %d (%s)" % (self.line, self.condition())
        if base is not None:
            change = "is dropped" if not self.mapping else "becomes " + _hex(self.mapping)
            text += ", U+%04X after U+%04X %s" % (self.cp, base, change)
        if self.contexts == ["Not_Before_Dot"]:
            text += ", without its condition"
        return text

    def subject(self):
        """The rule, for a note on why it gives no entry."""
        return "SpecialCasing.txt line %d (%s) for U+%04X" % (self.line, self.condition(), self.cp)

    def derive(self, casing):
        self.entries = []
        self.reason = None
        if self.cp >= BMP or any(u >= BMP for u in self.mapping):
            self.reason = "outside the BMP"
        elif not self.contexts or self.contexts == ["Not_Before_Dot"]:
            if not self.mapping:
                self.reason = "it maps to nothing, which needs a next unit to consume"
            elif len(self.mapping) > 2:
                self.reason = "the result %s has %d units" % (_hex(self.mapping),
                                                              len(self.mapping))
            elif self.mapping == casing.library(self.direction, self.cp):
                self.reason = "the one-to-one %scase already gives %s" % (self.direction,
                                                                           _hex(self.mapping))
            else:
                self.entries = [Entry(self.cp, 0, self.mapping, [self.source()])]
        elif self.contexts in (["After_Soft_Dotted"], ["After_I"]):
            bases = casing.soft_dotted if self.contexts == ["After_Soft_Dotted"] else [CAPITAL_I]
            outside, long = [], []
            for base in bases:
                result = casing.default(self.direction, base) + self.mapping
                if base >= BMP or any(u >= BMP for u in result):
                    outside.append(base)
                elif len(result) > 2:
                    long.append(base)
                else:
                    self.entries.append(Entry(base, self.cp, result, [self.source(base)]))
            skipped = []
            if outside:
                skipped.append("%d bases outside the BMP, U+%04X to U+%04X" % (
                    len(outside), outside[0], outside[-1]))
            if long:
                skipped.append("bases needing three or more result units (%s)" % (
                    ", ".join("U+%04X" % b for b in long)))
            if skipped:
                self.reason = "; ".join(skipped)
        elif self.contexts == ["More_Above"]:
            self.reason = ("the result is %s and then the accent that follows, three units "
                           "or more, and that accent may be any mark above" % _hex(self.mapping))
        else:
            self.reason = "context %s is not expressible" % " ".join(self.contexts)


def merge(direction, first, casing, rules):
    """The entries of `first` (the glibc pairs), then those of `rules` not already
    there; returns the entries and the notes on what was left out."""
    entries = list(first)
    by_key = {e.key: e for e in entries}
    notes = []
    for rule in rules:
        if rule.reason:
            notes.append("%s: %s" % (rule.subject(), rule.reason))
        for entry in rule.entries:
            have = by_key.get(entry.key)
            if have is None:
                entries.append(entry)
                by_key[entry.key] = entry
            elif have.result == entry.result:
                have.sources.append("also " + entry.sources[0])
            else:
                have.sources.append("%s gives %s instead" % (entry.sources[0],
                                                              _hex(entry.result)))
    kept = []
    for entry in entries:
        if entry.next_unit and (entry.unit, 0) in by_key:
            notes.append("%s: unreachable, the lookup takes (U+%04X, 0) first"
                         % (entry.sources[0], entry.unit))
        elif entry.next_unit and direction == "upper" and entry.unit in casing.fixed_upper:
            notes.append("%s: unreachable, the fixed uppercase table takes U+%04X first"
                         % (entry.sources[0], entry.unit))
        else:
            kept.append(entry)
    return kept, notes
