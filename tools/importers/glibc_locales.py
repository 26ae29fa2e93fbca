#!/usr/bin/env python3
"""Writes the language and territory sources under data/ from glibc's locale sources.

Usage: python3 tools/importers/glibc_locales.py [--locales DIR] [--data DIR]
                                              [--unicode DIR] [--collations FILE]

DIR defaults to /usr/share/i18n/locales (Debian package "locales"), to the
data/ folder of this tree and to /usr/share/unicode (Debian package
"unicode-data": SpecialCasing.txt, UnicodeData.txt, PropList.txt). The
mapping tools/importers/native_locales.txt names, for every native locale
row, the glibc locale that serves it, plus the overrides described there.
The script rewrites data/languages/*.txt, data/territories/*.txt and the
"language" and "territory" lines of data/items.list; every other line of
items.list is kept as it is. Output is deterministic: the same inputs give
byte-identical files.

glibc's "copy" (a whole category taken from another locale), "include" (keys
not defined locally taken from another file) and <Uxxxx> escapes are resolved.

Which source serves what:
- A language takes its strings from the glibc locale of its first native row.
  Its default territory and code set are those of that row. A row without
  them (language only, or territory without code set) takes the territory
  whose code is the glibc locale's own country (or the one named in the
  mapping) and the first code set of CODESET_PREFERENCE that encodes every
  name of the language.
- A territory takes its conventions from the glibc locale of its first native
  row, unless the mapping names another source. Mapping overrides replace the
  identity fields of a territory that glibc does not have.
- code: LC_ADDRESS lang_ab upper-cased; without a two-letter code, lang_term.
- display-name: LC_ADDRESS lang_name / country_name.
- Upper and lower case pairs (none where the mapping says case-pairs=none):
  first the toupper/tolower entries of the locale's LC_CTYPE that differ from
  the default Unicode mapping, within the BMP; then the entries that
  special_casing.py derives from the SpecialCasing.txt rules of the language
  (matched by the locale's lang_ab), where no glibc entry has the same units.
  A two-unit entry that the library's lookup never reaches is dropped. Each
  entry is written after a comment naming its sources; the rules of the
  language that give no entry are listed as "Left out" comments.
- default-collation: the collation that tools/importers/collations.txt names
  for the language, else the one it marks for every other language.

Territory conventions:
- decimal-point, thousands-sep, mon-decimal-point, mon-thousands-sep: glibc's
  values. An empty thousands separator takes the locale's other (numeric or
  monetary) thousands separator; when both are empty, "," unless the decimal
  point is ",", else U+00A0 (no-break space).
- A space-like separator (U+202F narrow no-break space, U+2009 thin space)
  that a single-byte code set of the territory's rows cannot encode becomes
  U+00A0 (no-break space), which they all have: the library keeps a
  separator's one-byte form only when the code set has one.
- list-sep: ";" when the decimal point is ",", else ",".
- num-digits: 2 (glibc has no such value).
- grouping, mon-grouping: glibc repeats its last size unless the list ends in
  -1; ours repeats only through an explicit 0 and stops at the end of the
  text. So trailing repeats of the last size collapse and ";0" is added
  ("3;3" -> "3;0", "3;2" -> "3;2;0"); a list ending in -1 loses the -1 and gets
  no 0 ("-1" alone -> "", no grouping).
- p-sep-by-space, n-sep-by-space: glibc's 2 (space next to the sign) becomes 1.
- int-curr-symbol: glibc's int_curr_symbol without its trailing space.

Date and time formats:
- time-format from t_fmt, date-format from d_fmt, long-date-format from the
  date part of date_fmt when the locale (after copy) defines date_fmt,
  otherwise of d_t_fmt. The date part drops every time directive (%H %I %M %S
  %p %Z %z), the text between and right after them, and trailing spaces and
  commas.
Rewrite rules, applied to every directive:
- A directive that expands a format item is written out: %c -> d_t_fmt,
  %x -> d_fmt, %X -> t_fmt, %r -> t_fmt_ampm (or "%I:%M:%S %p"),
  %+ -> date_fmt, each rewritten in turn; %D -> %m/%d/%y, %T -> %H:%M:%S,
  %R -> %H:%M, %F -> %Y-%m-%d.
- Padding flags: "-" (no padding) and "_" (space padding) become "#" (drop
  leading zeros); "0", "^", "#" and field widths are dropped.
- %e -> %#d, %k -> %#H, %l -> %#I, %P -> %p, %h -> %b, %G -> %Y, %g -> %y,
  %z -> %Z.
- The E and O modifiers are dropped (they change nothing in our output).
- %s, %N, %u and %q (no counterpart with the same meaning), and anything that
  is no glibc directive (fo_FO's date_fmt has "%1"), are dropped with the
  literal text that directly follows them.
- %a %A %b %B %C %d %H %I %j %m %M %n %p %S %t %U %V %w %W %y %Y %Z %% are
  kept.
"""

import argparse
import os
import re
import shlex
import sys
import unicodedata

from collation_list import CollationListError, default_collations, read as read_collations
from special_casing import Entry, SpecialCasing, merge

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# Code sets tried, in order, for a language whose first row names none.
# Python codecs of the single-byte code sets that a territory's rows may name.
SINGLE_BYTE_CODECS = {
    "MS1250": "cp1250", "MS1251": "cp1251", "MS1252": "cp1252", "MS1253": "cp1253",
    "MS1254": "cp1254", "MS1255": "cp1255", "MS1256": "cp1256", "MS1257": "cp1257",
    "MS1258": "cp1258", "MS874": "cp874",
}

CODESET_PREFERENCE = [
    ("MS1252", "cp1252"), ("MS1250", "cp1250"), ("MS1257", "cp1257"),
    ("MS1254", "cp1254"), ("MS1251", "cp1251"), ("MS1253", "cp1253"),
    ("ISO-8859-3", "iso8859_3"), ("UTF-8", "utf-8"),
]

# The built-in language and territory keep the values the library carries
# in its code; only these keys differ from what en_US gives.
FIXED_LANGUAGE = "English"
FIXED_TERRITORY = "UnitedStates"
FIXED_LANGUAGE_VALUES = {"display-name": "English", "am": "AM", "pm": "PM"}
FIXED_TERRITORY_VALUES = {
    "display-name": "United States", "p-sign-posn": 3, "n-sign-posn": 0,
    "time-format": "%#I:%M:%S %p", "date-format": "%#m/%#d/%y",
    "long-date-format": "%A, %B %d, %Y",
}
FIXED_NUMBERS = {"language": {"English": 1, "German": 2, "French": 3, "Urdu": 55},
                 "territory": {"UnitedStates": 1}}
FIXED_COMMENTS = {"English": "# English: the library's built-in language, language 1.",
                  "UnitedStates": "# United States: the library's built-in territory, territory 1."}


# Categories whose keywords are read; of LC_CTYPE only the case maps.
VALUE_CATEGORIES = ("LC_CTYPE", "LC_NUMERIC", "LC_MONETARY", "LC_TIME", "LC_ADDRESS")


class LocaleError(Exception):
    pass


# ---------------------------------------------------------------------------
# glibc locale source reader

class LocaleSource:
    """One glibc locale file: categories of keyword -> list of values."""

    def __init__(self, path):
        self.path = path
        self.name = os.path.basename(path)
        with open(path, encoding="utf-8", errors="replace") as f:
            raw = f.read().split("\n")
        self.comment = "#"
        self.escape = "\\"
        for line in raw[:10]:
            m = re.match(r"\s*(comment_char|escape_char)\s+(\S)", line)
            if m:
                if m.group(1) == "comment_char":
                    self.comment = m.group(2)
                else:
                    self.escape = m.group(2)
        self.categories = {}
        self._parse(raw)

    def _strip_comment(self, text, quoted):
        """Drops a comment outside strings; returns the text and the quote state."""
        i = 0
        while i < len(text):
            c = text[i]
            if c == self.escape:
                i += 2
                continue
            if c == '"':
                quoted = not quoted
            elif c == self.comment and not quoted:
                return text[:i], quoted
            i += 1
        return text, quoted

    def _logical_lines(self, raw):
        # A trailing escape continues the line, even after a comment on it and
        # inside a string.
        buf = ""
        quoted = False
        for line in raw:
            stripped = line.lstrip()
            if not buf and (not stripped or stripped.startswith(self.comment)):
                continue
            body = line.rstrip()
            trailing = len(body) - len(body.rstrip(self.escape))
            if trailing % 2 == 1:
                text, quoted = self._strip_comment(body[:-1], quoted)
                buf += text if quoted else text + " "
                continue
            text, quoted = self._strip_comment(body, quoted)
            yield buf + text
            buf = ""
            quoted = False
        if buf:
            yield buf

    def _tokens(self, text):
        """Splits a value text into a list of items (str or int), ';'-separated."""
        items = []
        current = None
        i = 0
        n = len(text)
        while i < n:
            c = text[i]
            if c in " \t":
                i += 1
            elif c == self.comment:
                break
            elif c == ";":
                items.append(current)
                current = None
                i += 1
            elif c == '"':
                i += 1
                s = []
                while i < n and text[i] != '"':
                    if text[i] == self.escape and i + 1 < n:
                        s.append(text[i + 1])
                        i += 2
                    elif text[i] == "<":
                        j = text.index(">", i)
                        s.append(self._symbol(text[i + 1:j]))
                        i = j + 1
                    else:
                        s.append(text[i])
                        i += 1
                i += 1
                current = (current or "") + "".join(s)
            elif c == "<":
                j = text.index(">", i)
                current = (current or "") + self._symbol(text[i + 1:j])
                i = j + 1
            else:
                m = re.match(r"-?\d+", text[i:])
                if m:
                    current = int(m.group(0))
                    i += len(m.group(0))
                else:
                    m = re.match(r"\S+", text[i:])
                    current = m.group(0)
                    i += len(m.group(0))
        items.append(current)
        return items

    def _symbol(self, name):
        m = re.fullmatch(r"U([0-9A-Fa-f]{4,8})", name)
        if not m:
            raise LocaleError("%s: unknown symbol <%s>" % (self.path, name))
        return chr(int(m.group(1), 16))

    def _parse(self, raw):
        category = None
        for line in self._logical_lines(raw):
            words = line.split(None, 1)
            key = words[0]
            rest = words[1] if len(words) > 1 else ""
            if category is None:
                if key.startswith("LC_"):
                    category = key
                    self.categories[category] = {}
                continue
            if key == "END":
                category = None
                continue
            entries = self.categories[category]
            if key in ("copy", "include"):
                target = self._tokens(rest)[0]
                entries.setdefault("\0" + key, []).append(target)
                continue
            if category == "LC_CTYPE" and key not in ("toupper", "tolower"):
                continue
            if category not in VALUE_CATEGORIES:
                continue
            if key in ("toupper", "tolower"):
                entries.setdefault(key, []).extend(
                    (a, b, self.name) for a, b in self._pairs(rest))
                continue
            if key not in entries:
                entries[key] = self._tokens(rest)

    def _pairs(self, text):
        pairs = []
        for a, b in re.findall(r"\(<U([0-9A-Fa-f]+)>,<U([0-9A-Fa-f]+)>\)", text):
            pairs.append((int(a, 16), int(b, 16)))
        return pairs


class Locales:
    def __init__(self, folder):
        self.folder = folder
        self.files = {}

    def source(self, name):
        if name not in self.files:
            path = os.path.join(self.folder, name)
            if not os.path.exists(path):
                raise LocaleError("no glibc locale source %s" % path)
            self.files[name] = LocaleSource(path)
        return self.files[name]

    def category(self, name, category, seen=()):
        """The category's keys with copy and include resolved."""
        if (name, category) in seen:
            raise LocaleError("copy loop at %s %s" % (name, category))
        own = self.source(name).categories.get(category, {})
        result = {}
        for target in own.get("\0copy", []):
            result.update(self.category(target, category, seen + ((name, category),)))
        for key, value in own.items():
            if not key.startswith("\0"):
                if key in ("toupper", "tolower") and key in result:
                    result[key] = result[key] + value
                else:
                    result[key] = value
        for target in own.get("\0include", []):
            if target == "":
                continue
            try:
                included = self.category(target, category, seen + ((name, category),))
            except LocaleError:
                continue
            for key, value in included.items():
                result.setdefault(key, value)
        return result

    def defines(self, name, category, key):
        """Whether the locale (following copies, not includes) defines `key`."""
        own = self.source(name).categories.get(category, {})
        if key in own:
            return True
        return any(self.defines(t, category, key) for t in own.get("\0copy", []))


# ---------------------------------------------------------------------------
# Mapping table

class Mapping:
    def __init__(self, path):
        self.rows = []  # (identifier, name, glibc locale)
        self.language = {}  # name -> {key: value}
        self.territory = {}
        with open(path, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                words = shlex.split(line, comments=True)
                if not words:
                    continue
                if words[0] in ("language", "territory"):
                    fields = {}
                    for word in words[2:]:
                        if "=" not in word:
                            raise LocaleError("%s:%d: expected key=value" % (path, number))
                        k, v = word.split("=", 1)
                        fields[k] = v
                    getattr(self, words[0])[words[1]] = fields
                elif len(words) == 3 and words[0].startswith("0x"):
                    self.rows.append((int(words[0], 16), words[1], words[2]))
                else:
                    raise LocaleError("%s:%d: cannot read the line" % (path, number))


def split_name(name):
    m = re.fullmatch(r"([^_.@]+)(?:_([^.@]*))?(?:\.([^@]*))?(?:@(.*))?", name)
    if not m:
        raise LocaleError("bad locale name %s" % name)
    return m.group(1), m.group(2) or "", m.group(3) or "", m.group(4) or ""


# ---------------------------------------------------------------------------
# Format rewriting

TIME_CONVERSIONS = set("HIMSpZz")
KEPT = set("aAbBCdHIjmMnpStUVwWyYZ%")
NUMERIC = set("CdHIjmMSUVwWyY")


def rewrite_format(fmt, time, depth=0):
    """Rewrites a glibc format into a list of tokens ('%..' or literal text)."""
    if depth > 4:
        raise LocaleError("format nests too deep: %r" % fmt)
    out = []
    i = 0
    drop_literal = False

    def literal(text):
        nonlocal drop_literal
        if drop_literal:
            drop_literal = False
            return
        if out and not out[-1].startswith("%"):
            out[-1] += text
        else:
            out.append(text)

    def nested(key, fallback=None):
        value = time.get(key, [None])[0]
        if not value:
            value = fallback
        if value is None:
            raise LocaleError("format refers to missing %s" % key)
        for token in rewrite_format(value, time, depth + 1):
            if token.startswith("%"):
                out.append(token)
            else:
                literal(token)

    while i < len(fmt):
        c = fmt[i]
        if c != "%":
            j = fmt.find("%", i)
            j = len(fmt) if j < 0 else j
            literal(fmt[i:j])
            i = j
            continue
        m = re.match(r"%([-_0^#]*)(\d*)([EO]?)(.)", fmt[i:])
        if not m:
            raise LocaleError("directive cut off in %r" % fmt)
        i += len(m.group(0))
        flags, conv = m.group(1), m.group(4)
        drop_literal = False
        nozero = "-" in flags or "_" in flags
        if conv in "eklP hGgz".replace(" ", ""):
            conv, nozero = {"e": ("d", True), "k": ("H", True), "l": ("I", True),
                            "P": ("p", nozero), "h": ("b", nozero), "G": ("Y", nozero),
                            "g": ("y", nozero), "z": ("Z", nozero)}[conv]
        if conv == "D":
            out.extend(["%m", "/", "%d", "/", "%y"])
        elif conv == "T":
            out.extend(["%H", ":", "%M", ":", "%S"])
        elif conv == "R":
            out.extend(["%H", ":", "%M"])
        elif conv == "F":
            out.extend(["%Y", "-", "%m", "-", "%d"])
        elif conv == "c":
            nested("d_t_fmt")
        elif conv == "x":
            nested("d_fmt")
        elif conv == "X":
            nested("t_fmt")
        elif conv == "r":
            nested("t_fmt_ampm", "%I:%M:%S %p")
        elif conv == "+":
            nested("date_fmt")
        elif conv in "sNuq":
            drop_literal = True
        elif conv in KEPT:
            out.append("%" + ("#" if nozero and conv in NUMERIC else "") + conv)
        else:
            print("glibc_locales: dropped unknown directive %r in %r" % (m.group(0), fmt),
                  file=sys.stderr)
            drop_literal = True
    # Merge literal neighbours created by nested expansion.
    merged = []
    for token in out:
        if merged and not token.startswith("%") and not merged[-1].startswith("%"):
            merged[-1] += token
        else:
            merged.append(token)
    return merged


def is_time(token):
    return token.startswith("%") and token[-1] in TIME_CONVERSIONS


def _drop_last_word(text, at_start):
    """Drops a word such as "klokkan" or "um" that introduces the time."""
    body = text.rstrip()
    cut = max(body.rfind(" "), body.rfind("\u00a0"))
    word = body[cut + 1:]
    if word.isalpha() and (cut >= 0 or at_start):
        return body[:cut + 1]
    return text


def date_part(tokens):
    """Drops the time directives and the text tied to them."""
    out = []
    i = 0
    while i < len(tokens):
        if not is_time(tokens[i]):
            out.append(tokens[i])
            i += 1
            continue
        # A run of time directives and the literals between them.
        j = i
        while j < len(tokens):
            if is_time(tokens[j]):
                j += 1
            elif (not tokens[j].startswith("%") and j + 1 < len(tokens)
                  and is_time(tokens[j + 1])):
                j += 1
            else:
                break
        # The literal right after the run belongs to it, and so does a word
        # right before it.
        if j < len(tokens) and not tokens[j].startswith("%"):
            j += 1
        if out and not out[-1].startswith("%"):
            out[-1] = _drop_last_word(out[-1], len(out) == 1)
        if j < len(tokens) and out and out[-1].startswith("%"):
            out.append(" ")
        i = j
    text = "".join(out).strip().rstrip(",\u060c").rstrip()
    # Close a right-to-left embedding whose end went with the time.
    opened = sum(text.count(c) for c in "\u202a\u202b\u202d\u202e")
    text += "\u202c" * max(0, opened - text.count("\u202c"))
    return text


def format_text(tokens):
    return "".join(tokens)


# ---------------------------------------------------------------------------
# Values

def first(values, key, default=None):
    v = values.get(key)
    if not v or v[0] is None:
        if default is None:
            raise LocaleError("missing %s" % key)
        return default
    return v[0]


def grouping_text(items):
    sizes = [v for v in items if v is not None]
    if not sizes:
        return ""
    if sizes[-1] == -1:
        return ";".join(str(s) for s in sizes[:-1])
    if 0 in sizes:
        # glibc's 0 repeats the previous size, as ours does; first, it means none.
        sizes = sizes[:sizes.index(0)]
        if not sizes:
            return ""
    while len(sizes) > 1 and sizes[-1] == sizes[-2]:
        sizes.pop()
    return ";".join(str(s) for s in sizes) + ";0"


def one_char(text, what):
    if len(text.encode("utf-16-le")) != 2:
        raise LocaleError("%s is not one UTF-16 unit: %r" % (what, text))
    return text


def case_pairs(ctype, loc):
    """Entries of toupper/tolower that differ from the default Unicode mapping."""
    result = {}
    for key, default in (("toupper", str.upper), ("tolower", str.lower)):
        seen = {}
        for a, b, origin in ctype.get(key, []):
            seen[a] = (b, origin)
        pairs = []
        for a in sorted(seen):
            b, origin = seen[a]
            if a > 0xFFFF or b > 0xFFFF or a == b:
                continue
            ch = chr(a)
            if unicodedata.category(ch) == "Cn":
                continue
            std = default(ch)
            if len(std) == 1 and ord(std) != b and unicodedata.category(chr(b)) != "Cn":
                source = "glibc %s LC_CTYPE %s" % (loc, key)
                if origin != loc:
                    source += ", defined in %s" % origin
                pairs.append(Entry(a, 0, [b], [source]))
        result[key] = pairs
    return result


def language_case_pairs(ctype, loc, language, casing):
    """The glibc pairs, then the SpecialCasing.txt ones; with the notes on rules left out."""
    glibc = case_pairs(ctype, loc)
    values = {}
    for key, direction in (("upper-pair", "upper"), ("lower-pair", "lower")):
        rules = casing.language_rules(language, direction)
        glibc_key = "to" + direction
        values[key], values["_" + key + "-notes"] = merge(direction, glibc[glibc_key],
                                                           casing, rules)
    return values


def language_values(locales, loc, casing):
    time = locales.category(loc, "LC_TIME")
    address = locales.category(loc, "LC_ADDRESS")
    ctype = locales.category(loc, "LC_CTYPE")
    code = first(address, "lang_ab", "") or first(address, "lang_term")
    days = time["day"]
    abdays = time["abday"]
    mons = time["mon"]
    abmons = time["abmon"]
    if len(days) != 7 or len(abdays) != 7 or len(mons) != 12 or len(abmons) != 12:
        raise LocaleError("%s: day or month lists of the wrong size" % loc)
    ampm = time.get("am_pm", ["", ""])
    ampm = [a or "" for a in ampm] + ["", ""]
    values = language_case_pairs(ctype, loc, code, casing)
    values.update({
        "code": code.upper(),
        "display-name": first(address, "lang_name"),
        "day": list(days), "abbrev-day": list(abdays),
        "month": list(mons) + [""], "abbrev-month": list(abmons) + [""],
        "am": ampm[0], "pm": ampm[1],
    })
    return values


def territory_values(locales, loc):
    num = locales.category(loc, "LC_NUMERIC")
    mon = locales.category(loc, "LC_MONETARY")
    time = locales.category(loc, "LC_TIME")
    address = locales.category(loc, "LC_ADDRESS")
    dp = first(num, "decimal_point")
    ts = first(num, "thousands_sep", "")
    mdp = first(mon, "mon_decimal_point", "") or dp
    mts = first(mon, "mon_thousands_sep", "")

    def fill(sep, other, point):
        if sep:
            return sep
        if other:
            return other
        return "," if point != "," else "\u00a0"
    ts, mts = fill(ts, mts, dp), fill(mts, ts, mdp)

    def flag(key):
        v = first(mon, key)
        if v not in (0, 1, 2):
            raise LocaleError("%s: %s is %r" % (loc, key, v))
        return 1 if v else 0

    def posn(key):
        v = first(mon, key)
        if not 0 <= v <= 4:
            raise LocaleError("%s: %s is %r" % (loc, key, v))
        return v

    if locales.defines(loc, "LC_TIME", "date_fmt"):
        long_source = first(time, "date_fmt")
    else:
        long_source = first(time, "d_t_fmt")
    return {
        "decimal-point": one_char(dp, "decimal point"),
        "thousands-sep": one_char(ts, "thousands separator"),
        "list-sep": ";" if dp == "," else ",",
        "mon-decimal-point": one_char(mdp, "monetary decimal point"),
        "mon-thousands-sep": one_char(mts, "monetary thousands separator"),
        "num-digits": 2,
        "frac-digits": first(mon, "frac_digits"),
        "int-frac-digits": first(mon, "int_frac_digits"),
        "p-sign-posn": posn("p_sign_posn"),
        "n-sign-posn": posn("n_sign_posn"),
        "value": 0,
        "territory-flag": 1,
        "p-cs-precedes": flag("p_cs_precedes"),
        "p-sep-by-space": flag("p_sep_by_space"),
        "n-cs-precedes": flag("n_cs_precedes"),
        "n-sep-by-space": flag("n_sep_by_space"),
        "flag-5": 1,
        "flag-6": 1,
        "code": first(address, "country_ab3", ""),
        "display-name": first(address, "country_name", ""),
        "grouping": grouping_text(num.get("grouping", [-1])),
        "mon-grouping": grouping_text(mon.get("mon_grouping", [-1])),
        "currency-symbol": first(mon, "currency_symbol", ""),
        "int-curr-symbol": first(mon, "int_curr_symbol").rstrip(" "),
        "positive-sign": first(mon, "positive_sign", ""),
        "negative-sign": first(mon, "negative_sign", ""),
        "time-format": format_text(rewrite_format(first(time, "t_fmt"), time)),
        "date-format": format_text(rewrite_format(first(time, "d_fmt"), time)),
        "long-date-format": date_part(rewrite_format(long_source, time)),
        "_number": first(address, "country_num", 0),
    }


# ---------------------------------------------------------------------------
# Output

SEPARATOR_KEYS = ["decimal-point", "thousands-sep", "mon-decimal-point", "mon-thousands-sep"]
LANGUAGE_KEYS = ["default-territory", "default-codeset", "default-collation", "code",
                 "display-name", "day", "abbrev-day", "month", "abbrev-month", "am", "pm",
                 "upper-pair", "lower-pair"]
TERRITORY_KEYS = ["decimal-point", "thousands-sep", "list-sep", "mon-decimal-point",
                  "mon-thousands-sep", "num-digits", "frac-digits", "int-frac-digits",
                  "p-sign-posn", "n-sign-posn", "value", "territory-flag", "p-cs-precedes",
                  "p-sep-by-space", "n-cs-precedes", "n-sep-by-space", "flag-5", "flag-6",
                  "code", "display-name", "grouping", "mon-grouping", "currency-symbol",
                  "int-curr-symbol", "positive-sign", "negative-sign", "time-format",
                  "date-format", "long-date-format"]


def quote(text):
    out = []
    for ch in text:
        cp = ord(ch)
        if ch in '"\\':
            out.append("\\" + ch)
        elif cp < 0x20 or unicodedata.category(ch) in ("Cc", "Cf", "Zl", "Zp") \
                or (unicodedata.category(ch) == "Zs" and ch != " "):
            if cp > 0xFFFF:
                units = ch.encode("utf-16-be")
                out.append("\\u%04X\\u%04X" % (int.from_bytes(units[:2], "big"),
                                                int.from_bytes(units[2:], "big")))
            else:
                out.append("\\u%04X" % cp)
        else:
            out.append(ch)
    return '"' + "".join(out) + '"'


def render(keys, values, comments):
    lines = list(comments)
    for key in keys:
        v = values.get(key)
        if key.endswith("-pair"):
            for entry in v or []:
                lines.append("# " + "; ".join(entry.sources) + ".")
                lines.append("%s %s" % (key, " ".join(
                    "U+%04X" % u if u else "0" for u in entry.fields())))
            for note in values.get("_%s-notes" % key, []):
                lines.append("# Left out of %s: %s." % (key, note))
            continue
        for item in (v if isinstance(v, list) else [v]):
            if isinstance(item, int):
                lines.append("%s %d" % (key, item))
            else:
                lines.append("%s %s" % (key, quote(item)))
    return "\n".join(lines) + "\n"


def read_codesets(items_path):
    codesets = {}
    with open(items_path, encoding="utf-8") as f:
        for line in f:
            words = line.split()
            if len(words) == 3 and words[0] == "codeset":
                codesets[words[2]] = int(words[1])
    return codesets


def write_items(items_path, languages, territories):
    with open(items_path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    header = []
    while lines and lines[0].startswith("#"):
        header.append(lines.pop(0))
    rest = [l for l in lines if l.split()[:1] not in (["language"], ["territory"])]
    mine = ["language   %-5d %s" % (n, name) for name, n in languages]
    mine += ["territory  %-5d %s" % (n, name) for name, n in territories]
    text = "\n".join(header + mine + rest) + "\n"
    with open(items_path, "w", encoding="utf-8") as f:
        f.write(text)


def encodes(codec, texts):
    try:
        for t in texts:
            t.encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def build(locales_dir, data_dir, mapping_path, unicode_dir, collations_path):
    locales = Locales(locales_dir)
    collation_of, other_collation = default_collations(read_collations(collations_path))
    casing = SpecialCasing(unicode_dir)
    mapping = Mapping(mapping_path)
    codesets = read_codesets(os.path.join(data_dir, "items.list"))

    # First row of each language and territory, in table order.
    lang_rows, terr_rows, terr_codesets = {}, {}, {}
    for ident, name, loc in mapping.rows:
        language, territory, codeset, _ = split_name(name)
        lang_rows.setdefault(language, (ident, name, loc, territory, codeset))
        if territory:
            terr_rows.setdefault(territory, loc)
            terr_codesets.setdefault(territory, set()).add(codeset)
        if codeset and codeset not in codesets:
            raise LocaleError("code set %s of %s is not in items.list" % (codeset, name))
    for name, fields in mapping.territory.items():
        if name not in terr_rows and "source" not in fields:
            raise LocaleError("territory %s has no source" % name)
        terr_rows.setdefault(name, fields.get("source"))

    # Territories.
    territories = {}
    numbers = {}
    for name, loc in terr_rows.items():
        fields = mapping.territory.get(name, {})
        source = fields.get("source", loc)
        try:
            values = territory_values(locales, source)
        except LocaleError as e:
            raise LocaleError("%s (%s): %s" % (name, source, e))
        comments = ["# %s, from glibc %s." % (name, source)]
        if name == FIXED_TERRITORY:
            values.update(FIXED_TERRITORY_VALUES)
            comments = [FIXED_COMMENTS[name]]
        for key in SEPARATOR_KEYS:
            ch = values[key]
            for cs in sorted(terr_codesets.get(name, ())):
                codec = SINGLE_BYTE_CODECS.get(cs)
                if codec and not encodes(codec, [ch]) and unicodedata.category(ch) == "Zs":
                    values[key] = "\u00a0"
                    comments.append("# %s: U+%04X is not in %s; U+00A0 instead." % (key, ord(ch), cs))
                    break
        for key, value in fields.items():
            if key in ("source", "number"):
                continue
            if key == "note":
                comments.append("# " + value)
            elif key in TERRITORY_KEYS:
                values[key] = value
            else:
                raise LocaleError("unknown territory override %s" % key)
        for key in ("code", "display-name"):
            if not values[key]:
                raise LocaleError("territory %s (%s) has no %s" % (name, source, key))
        number = FIXED_NUMBERS["territory"].get(name) or int(fields.get("number", 0)) \
            or values["_number"]
        if not number:
            raise LocaleError("territory %s has no number" % name)
        territories[name] = values
        territories[name]["_comments"] = comments
        numbers[name] = int(number)
    used = {}
    for name, n in numbers.items():
        if n in used:
            raise LocaleError("territories %s and %s share number %d" % (used[n], name, n))
        used[n] = name

    def territory_by_code(code):
        found = [t for t, v in territories.items() if v["code"] == code]
        found.sort(key=lambda t: numbers[t])
        return found[0] if found else None

    # Languages.
    languages = {}
    lang_numbers = {}
    next_number = 1
    taken = set(FIXED_NUMBERS["language"].values())
    for name, (ident, row, loc, territory, codeset) in lang_rows.items():
        fields = mapping.language.get(name, {})
        try:
            values = language_values(locales, loc, casing)
        except LocaleError as e:
            raise LocaleError("%s (%s): %s" % (name, loc, e))
        comments = ["# %s, from glibc %s (first row %s)." % (name, loc, row)]
        if name == FIXED_LANGUAGE:
            values.update(FIXED_LANGUAGE_VALUES)
            comments = [FIXED_COMMENTS[name]]
        for key, value in fields.items():
            if key == "note":
                comments.append("# " + value)
            elif key in ("code", "display-name"):
                values[key] = value
            elif key == "case-pairs" and value == "none":
                for pair_key in ("upper-pair", "lower-pair"):
                    values[pair_key] = values["_%s-notes" % pair_key] = []
            elif key != "default-territory":
                raise LocaleError("unknown language override %s" % key)
        if not territory:
            territory = fields.get("default-territory")
            if territory:
                comments.append("# Default territory %s, named by the mapping." % territory)
            else:
                code = first(locales.category(loc, "LC_ADDRESS"), "country_ab3")
                territory = territory_by_code(code)
                if territory is None:
                    raise LocaleError("no territory for %s (%s)" % (name, code))
                comments.append("# Default territory %s: the country of glibc %s." % (territory, loc))
        if territory not in numbers:
            raise LocaleError("territory %s of %s is unknown" % (territory, name))
        if not codeset:
            texts = [values["display-name"], values["am"], values["pm"]] + values["day"] + \
                values["abbrev-day"] + values["month"] + values["abbrev-month"]
            for cs, codec in CODESET_PREFERENCE:
                if cs in codesets and encodes(codec, texts):
                    codeset = cs
                    break
            comments.append("# Default code set %s: the first of %s that encodes every name."
                            % (codeset, ", ".join(c for c, _ in CODESET_PREFERENCE)))
        values["default-territory"] = numbers[territory]
        values["default-codeset"] = codesets[codeset]
        values["default-collation"] = collation_of.get(name, other_collation)
        values["_comments"] = comments
        languages[name] = values
        if name in FIXED_NUMBERS["language"]:
            lang_numbers[name] = FIXED_NUMBERS["language"][name]
        else:
            while next_number in taken:
                next_number += 1
            lang_numbers[name] = next_number
            taken.add(next_number)

    # Write.
    for folder, table, keys in (("languages", languages, LANGUAGE_KEYS),
                                ("territories", territories, TERRITORY_KEYS)):
        path = os.path.join(data_dir, folder)
        os.makedirs(path, exist_ok=True)
        for old in os.listdir(path):
            if old.endswith(".txt") and old[:-4] not in table:
                os.remove(os.path.join(path, old))
        for name in sorted(table):
            text = render(keys, table[name], table[name]["_comments"])
            with open(os.path.join(path, name + ".txt"), "w", encoding="utf-8") as f:
                f.write(text)
    for name in list(languages) + list(territories):
        if len(name) > 35 or not all(0x20 < ord(c) < 0x7F for c in name):
            raise LocaleError("bad item name %r" % name)
    unknown = set(collation_of) - set(languages)
    if unknown:
        raise LocaleError("collations.txt names unknown languages: %s" % ", ".join(sorted(unknown)))
    write_items(os.path.join(data_dir, "items.list"),
                sorted(lang_numbers.items(), key=lambda x: x[1]),
                sorted(numbers.items(), key=lambda x: x[1]))
    return len(languages), len(territories)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--locales", default="/usr/share/i18n/locales")
    parser.add_argument("--data", default=os.path.join(ROOT, "data"))
    parser.add_argument("--mapping", default=os.path.join(HERE, "native_locales.txt"))
    parser.add_argument("--unicode", default="/usr/share/unicode")
    parser.add_argument("--collations", default=os.path.join(HERE, "collations.txt"))
    args = parser.parse_args()
    try:
        n_lang, n_terr = build(args.locales, args.data, args.mapping, args.unicode,
                               args.collations)
    except (LocaleError, CollationListError, KeyError, ValueError, OSError) as e:
        print("glibc_locales: %s" % e, file=sys.stderr)
        return 1
    print("glibc_locales: %d languages, %d territories" % (n_lang, n_terr))
    return 0


if __name__ == "__main__":
    sys.exit(main())
