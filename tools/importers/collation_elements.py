"""Turns a glibc collation list into the collation elements of UTF-16 units.

The result is still symbolic: an element is (primary key, secondary key,
tertiary key), None where the level has no weight, and `position` orders the
keys of each level. glibc_collations.py numbers them.

Primary keys besides glibc's own entries:
  ("variable", cp)  a character glibc leaves to the fourth level but Unicode's
                    DUCET calls variable; these sort below every other
                    primary, in DUCET's order of their primaries
  ("ideograph", i)  the i-th ideograph of the collation's ideograph block,
                    after every script
  ("hangul", i)     Hangul syllable U+AC00 + i, right after the Hangul jamo
  ("surrogate", i)  high surrogate U+D800 + i and low surrogate U+DC00 + i,
                    after everything else
"""

import re
from collections import Counter, OrderedDict

HANGUL_FIRST, HANGUL_COUNT = 0xAC00, 11172
JAMO_BLOCKS = ((0x1100, 0x11FF), (0xA960, 0xA97F), (0xD7B0, 0xD7FF))
LATE = 1 << 40  # position of the ideograph and surrogate blocks: after every entry


class Unicode:
    """What the importer takes from Unicode's own files."""

    def __init__(self, folder):
        self.decomposition = {}
        self.unified = []  # BMP unified ideographs in Unicode's implicit-weight order
        compat_unified = []
        ranges = {}
        with open("%s/UnicodeData.txt" % folder, encoding="utf-8") as f:
            for line in f:
                fields = line.split(";")
                cp = int(fields[0], 16)
                if fields[1].endswith(", First>") or fields[1].endswith(", Last>"):
                    ranges.setdefault(fields[1].split(",")[0], []).append(cp)
                if fields[5] and not fields[5].startswith("<"):
                    self.decomposition[cp] = [int(x, 16) for x in fields[5].split()]
                if 0xF900 <= cp <= 0xFAFF and not fields[5]:
                    compat_unified.append(cp)
        self.compatibility_ideographs = [cp for cp in range(0xF900, 0xFB00)
                                         if cp in self.decomposition]
        core = ranges["<CJK Ideograph"]
        ext_a = ranges["<CJK Ideograph Extension A"]
        self.unified = list(range(core[0], core[1] + 1)) + compat_unified \
            + list(range(ext_a[0], ext_a[1] + 1))
        self.unified_set = set(self.unified)
        self.version = None
        self.ducet = {}
        self.variable_primary = {}  # DUCET's first primary of each variable character
        with open("%s/allkeys.txt" % folder, encoding="utf-8") as f:
            for line in f:
                if line.startswith("@version"):
                    self.version = line.split()[1]
                body = line.split("#")[0].strip()
                if not body or body.startswith("@"):
                    continue
                units, weights = body.split(";", 1)
                units = units.split()
                if len(units) != 1:
                    continue
                weights = weights.strip()
                if weights.startswith("[*"):
                    kind = "variable"
                    self.variable_primary[int(units[0], 16)] = int(weights[2:6], 16)
                elif all(e == "[.0000.0000.0000]" for e in re.findall(r"\[[^\]]*\]", weights)):
                    kind = "ignorable"
                else:
                    kind = "weighted"
                self.ducet[int(units[0], 16)] = kind


class Result:
    """Units and contractions of one collation, with keys still symbolic."""

    def __init__(self):
        self.units = {}            # unit -> list of (p, s, t) keys
        self.contractions = {}     # (unit, unit) -> (p, s, t) keys
        self.counts = Counter()
        self.examples = OrderedDict()  # rule -> list of short texts
        self.position = None       # key -> sortable tuple
        self.first_primary_symbol = None
        self.keys_by_level = {}    # level -> keys in use, in order (filled by the numbering)
        self.order_bits = 0xF

    def note(self, rule, example=None):
        self.counts[rule] += 1
        if example is not None:
            self.examples.setdefault(rule, []).append(example)


def build(collate, unicode, ideograph_order, first_primary_symbol=None):
    """The units and contractions of a parsed collation.

    ideograph_order: "implicit" (glibc's own ideograph entries are ignored;
    all ideographs take Unicode's implicit order), "list" (ideographs placed
    in glibc's list keep their place; the rest take the implicit order), or a
    list of code points that open the ideograph block (the rest follow in
    the implicit order).
    """
    r = Result()
    pos = {key: i for i, key in enumerate(collate.order)}
    weights = collate.weights

    def self_weighted(cp):
        w = weights.get(cp)
        return w is None or (len(w) >= 1 and w[0] == [cp] and not any(w[1:3]))

    listed = set()
    if ideograph_order == "list":
        listed = {cp for cp in unicode.unified_set if cp in pos and cp in weights
                  and self_weighted(cp)}
        block = [cp for cp in unicode.unified if cp not in listed]
    elif ideograph_order == "implicit":
        block = list(unicode.unified)
    else:
        opening = [cp for cp in ideograph_order if cp in unicode.unified_set]
        seen = set(opening)
        block = opening + [cp for cp in unicode.unified if cp not in seen]
    block_index = {cp: i for i, cp in enumerate(block)}

    def ideograph(cp):
        return cp if cp in listed else ("ideograph", block_index[cp])

    def primary_keys(refs, unit):
        keys = []
        for ref in refs:
            cp = ref[1] if isinstance(ref, tuple) else ref if isinstance(ref, int) else None
            if cp is not None and cp in unicode.unified_set:
                keys.append(ideograph(cp))
            elif isinstance(ref, tuple) and cp > 0xFFFF:
                keys.extend(surrogate_keys(cp))
                r.note("primary of a supplementary character, as its surrogate pair", unit)
            elif isinstance(ref, tuple):
                raise ValueError("computed weight of BMP U+%04X is no ideograph" % cp)
            else:
                keys.append(ref)
        return keys

    def elements(levels, unit):
        primaries = primary_keys(levels[0], unit)
        rows = [primaries, list(levels[1]), list(levels[2])]
        for level, default in ((0, None), (1, "BASE"), (2, "MIN")):
            rows[level] = shorten(rows[level], default, level + 1, unit)
        n = max(len(row) for row in rows)
        return [tuple(row[i] if i < len(row) else None for row in rows) for i in range(n)]

    def shorten(row, default, level, unit):
        if len(row) <= 2:
            return row
        while len(row) > 2 and default is not None and row[-1] == default:
            row = row[:-1]
        while len(row) > 2 and default is not None and row[0] == default:
            row = row[1:]
        if len(row) > 2:
            r.note("level %d weights beyond the second dropped" % level, unit)
            row = row[:2]
        else:
            r.note("level %d default weights dropped to fit two elements" % level, unit)
        return row

    def levels_of(key):
        w = weights.get(key)
        if w is None:
            return [[key], [key], [key], [key]]
        return (list(w) + [[], [], [], []])[:4]

    # Characters.
    for key, w in weights.items():
        if not isinstance(key, int):
            continue
        if key > 0xFFFF:
            r.note("supplementary character sorted by its surrogates")
            continue
        if key in unicode.unified_set or 0xD800 <= key <= 0xDFFF:
            continue
        if HANGUL_FIRST <= key < HANGUL_FIRST + HANGUL_COUNT:
            continue
        if key in unicode.decomposition and 0xF900 <= key <= 0xFAFF:
            continue
        levels = levels_of(key)
        if not any(levels[:3]):
            r.units[key] = fourth_level_only(key, levels[3], unicode, r)
            continue
        r.units[key] = elements(levels, key)

    # Algorithmic blocks.
    for cp in unicode.unified:
        if cp not in listed:
            r.units[cp] = [(ideograph(cp), None, None)]
        else:
            r.units[cp] = elements(levels_of(cp), cp)
    for cp in unicode.compatibility_ideographs:
        target = unicode.decomposition[cp][0]
        if target in unicode.unified_set:
            r.units[cp] = [(ideograph(target), "BASE", "COMPAT")]
        else:
            hi, lo = surrogate_keys(target)
            r.units[cp] = [(hi, "BASE", "COMPAT"), (lo, None, None)]
            r.note("compatibility ideograph of a supplementary ideograph, as its surrogate pair", cp)
    for i in range(HANGUL_COUNT):
        r.units[HANGUL_FIRST + i] = [(("hangul", i), None, None)]
    for i in range(1024):
        r.units[0xD800 + i] = [(("surrogate", i), None, None)]
        r.units[0xDC00 + i] = [(("surrogate", i), None, None)]

    # Contractions, shortest first so that longer ones can fall back on them.
    for name, units in sorted(collate.elements.items(), key=lambda x: (len(x[1]), x[1])):
        if name not in weights or name not in pos:
            continue
        text = "".join(chr(u) for u in units)
        if any(u > 0xFFFF for u in units):
            r.note("collating element with a supplementary character dropped", text)
            continue
        if len(units) > 2:
            if units[:2] in r.contractions:
                r.note("longer collating element approximated by its two-unit prefix", text)
            else:
                r.note("longer collating element dropped", text)
            continue
        els = elements(levels_of(name), text)
        if not els:
            r.note("ignorable collating element dropped", text)
            continue
        if len(els) == 2:
            if els[1][0] is not None:
                r.note("collating element of two primaries dropped (units weigh alone)", text)
                continue
            r.note("collating element kept with its first element only", text)
        r.contractions[units] = els[0]

    # Positions of every key, per level.
    anchor = first_primary_symbol
    if anchor is None:
        anchor = first_glibc_primary(r, pos)
    r.first_primary_symbol = anchor
    last_jamo = max((pos[e[0]] for cp, els in r.units.items()
                     if any(a <= cp <= b for a, b in JAMO_BLOCKS)
                     for e in els if e[0] in pos), default=LATE - 1)

    def position(key):
        if key in pos:
            return (pos[key], 1, 0)
        kind, n = key
        if kind == "variable":
            # Unicode's order of the punctuation, which the collators that give it
            # primaries follow; glibc's line order breaks ties.
            return (pos[anchor], 0, unicode.variable_primary.get(n, 0x10000), pos[n])
        if kind == "hangul":
            return (last_jamo, 2, n)
        if kind == "ideograph":
            return (LATE, 0, n)
        if kind == "surrogate":
            return (LATE, 1, n)
        raise KeyError(key)
    r.position = position
    if collate.probe_directions and len(collate.probe_directions) > 1 \
            and collate.probe_directions[1] == "backward":
        r.order_bits = 0xB
    return r


def surrogate_keys(cp):
    v = cp - 0x10000
    return ("surrogate", v >> 10), ("surrogate", v & 0x3FF)


def fourth_level_only(cp, fourth, unicode, r):
    """A character glibc weighs at the fourth level only."""
    if not fourth:
        return []
    kind = unicode.ducet.get(cp)
    if kind == "variable":
        r.note("punctuation or symbol given a primary (variable in DUCET)")
        return [(("variable", cp), "BASE", "MIN")]
    if kind == "ignorable":
        r.note("left ignorable (completely ignorable in DUCET)")
        return []
    r.note("given a primary among the punctuation (weighted in DUCET, ignored by glibc)", cp)
    return [(("variable", cp), "BASE", "MIN")]


def first_glibc_primary(r, pos):
    """glibc's first own primary symbol in use: the punctuation sorts before it."""
    best = None
    for els in r.units.values():
        for p, _, _ in els:
            if isinstance(p, str) and re.fullmatch(r"S[0-9A-F]+", p):
                if best is None or pos[p] < pos[best]:
                    best = p
    return best
