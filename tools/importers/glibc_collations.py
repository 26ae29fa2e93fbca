#!/usr/bin/env python3
"""Writes the collation sources data/collations/*.txt from glibc's LC_COLLATE.

Usage: python3 tools/importers/glibc_collations.py [--locales DIR] [--data DIR]
                                                 [--unicode DIR] [--list FILE]

DIR defaults to /usr/share/i18n/locales (Debian package "locales"), to the
data/ folder of this tree and to /usr/share/unicode (Debian package
"unicode-data": allkeys.txt, UnicodeData.txt). FILE (by default
tools/importers/collations.txt) lists the collations, their sources and the
languages that default to them. The script rewrites data/collations/*.txt
and the "collation" lines of data/items.list. The same inputs give
byte-identical files.

How glibc's list becomes a table (docs/collation-sources.md has the counts):
- collation_elements.py turns each BMP unit and two-unit collating element
  into at most two elements of (primary, secondary, tertiary) keys: glibc
  entries, plus the punctuation primaries, the ideograph block, the Hangul
  syllables and the surrogates.
- Each level's keys in use are numbered densely in glibc's list order,
  primaries from 0x0100, secondaries and tertiaries from 1.
- General leaves unused numbers wherever a derived collation (base=General)
  inserts or moves keys, so a derived file keeps every other number and holds
  only the units and contractions whose elements differ; secondary and
  tertiary keys it moves become remap lines.
- A collation without a base (Japanese, Chinese) is numbered on its own.
"""

import argparse
import os
import re
import sys

from collation_elements import Unicode, build
from collation_list import CollationListError, read as read_list
from glibc_collate import Collate, CollateError

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
COMMAND = "python3 tools/importers/glibc_collations.py"
LIMITS = (0xFFFF, 0xFF, 0xFF)
# The first weight of each level. A sort key ends its primary level with a zero
# byte, so a primary's high byte must never be zero.
FIRST = (0x100, 1, 1)
START = ("start",)


class CollationImportError(Exception):
    pass


# ---------------------------------------------------------------------------
# Reading

def read_collation(entry, locales_dir, unicode, anchor, listings):
    collate = Collate(locales_dir)
    collate.read(entry.source_path(locales_dir))
    order = entry.ideographs
    if order not in ("implicit", "list"):
        if order not in listings:
            listing = Collate(locales_dir)
            listing.read(order)
            listings[order] = ([k for k in listing.order if isinstance(k, int)],
                               listing.sources)
        collate.sources.extend(listings[order][1])
        order = listings[order][0]
    result = build(collate, unicode, order, anchor if entry.base else None)
    result.collate = collate
    return result


def keys_at(result, level):
    if level not in result.keys_by_level:
        result.keys_by_level[level] = _keys_at(result, level)
    return result.keys_by_level[level]


def _keys_at(result, level):
    keys = {e[level] for els in result.units.values() for e in els if e[level] is not None}
    keys |= {e[level] for e in result.contractions.values() if e[level] is not None}
    return sorted(keys, key=result.position)


# ---------------------------------------------------------------------------
# Numbering

def floating_groups(general_keys, derived, level):
    """The keys a derived collation inserts or moves, grouped by the key they follow.

    A key floats when General does not use it at this level or the tailoring
    placed it again; it follows the nearest preceding key that does not float.
    """
    known = set(general_keys)
    groups = {}
    last = START
    for key in keys_at(derived, level):
        if key not in known or key in derived.collate.moved:
            groups.setdefault(last, []).append(key)
        else:
            last = key
    return groups


def number_general(keys, reserve, level):
    numbers = {}
    n = FIRST[level] - 1 + reserve.get(START, 0)
    for key in keys:
        n += 1
        numbers[key] = n
        n += reserve.get(key, 0)
    return numbers


def number_derived(general_numbers, derived, groups, level, name):
    numbers = {}
    floating = {k: (anchor, i) for anchor, keys in groups.items() for i, k in enumerate(keys)}
    for key in keys_at(derived, level):
        if key in floating:
            anchor, i = floating[key]
            start = FIRST[level] - 1 if anchor == START else general_numbers[anchor]
            numbers[key] = start + 1 + i
        else:
            numbers[key] = general_numbers[key]
    previous = FIRST[level] - 1
    for key in keys_at(derived, level):
        if numbers[key] <= previous:
            raise CollationImportError("%s: level %d numbers out of order at %r" % (name, level + 1, key))
        previous = numbers[key]
    return numbers


def lowest(numbers):
    """The default weight of a level: its lowest weight in use.

    A sort key drops trailing default weights, which keeps the order only when
    nothing weighs less than the default. That is <BASE> and <MIN>, unless a
    tailoring puts another weight first (capitals first).
    """
    return min(numbers.values())


def number_alone(keys, level):
    return {key: FIRST[level] + i for i, key in enumerate(keys)}


def concrete(result, numbers, name):
    """Units and contractions with numbered weights."""
    for level in range(3):
        top = max(numbers[level].values(), default=0)
        if top > LIMITS[level]:
            raise CollationImportError("%s: %d level-%d weights, at most %d fit"
                               % (name, top, level + 1, LIMITS[level]))

    def element(e):
        return tuple(0 if k is None else numbers[level][k] for level, k in enumerate(e))
    units = {u: tuple(element(e) for e in els) for u, els in result.units.items()}
    contractions = {pair: element(e) for pair, e in result.contractions.items()}
    return units, contractions


# ---------------------------------------------------------------------------
# Writing

def element_text(e):
    return "[%04X %02X %02X]" % e


def unit_lines(units):
    """Unit lines in unit order; runs of single primary-only elements with
    consecutive primaries become range lines."""
    lines = []
    ordered = sorted(units)
    i = 0
    while i < len(ordered):
        u = ordered[i]
        els = units[u]
        j = i
        if len(els) == 1 and els[0][1:] == (0, 0) and els[0][0]:
            while j + 1 < len(ordered) and ordered[j + 1] == ordered[j] + 1:
                nxt = units[ordered[j + 1]]
                if len(nxt) == 1 and nxt[0][1:] == (0, 0) and nxt[0][0] == units[ordered[j]][0][0] + 1:
                    j += 1
                else:
                    break
        if j - i >= 2:
            lines.append("U+%04X..U+%04X [%04X+]" % (u, ordered[j], els[0][0]))
            i = j + 1
            continue
        lines.append("U+%04X %s" % (u, " ".join(element_text(e) for e in els) if els else "[]"))
        i += 1
    return lines


def contraction_lines(contractions):
    return ["contraction U+%04X U+%04X %s" % (a, b, element_text(e) if e else "[]")
            for (a, b), e in sorted(contractions.items())]


def source_notes(paths, unicode):
    notes = []
    for path in paths:
        name = os.path.relpath(path, HERE) if path.startswith(HERE) else os.path.basename(path)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        found = []
        for key in ("revision", "date"):
            m = re.search(r'^%s\s+"([^"]*)"' % key, text, re.M)
            if m:
                found.append("%s %s" % (key, m.group(1)))
        m = re.search(r"created from (\S+)", text)
        if m:
            found.append("created from " + m.group(1))
        entry = "tools/importers/" + name if path.startswith(HERE) else "glibc " + name
        notes.append(entry + (" (%s)" % ", ".join(found) if found else ""))
    notes.append("Unicode allkeys.txt (DUCET, version %s) and UnicodeData.txt" % unicode.version)
    return list(dict.fromkeys(notes))


def count_lines(result):
    lines = []
    for rule in sorted(result.counts):
        lines.append("#   %s: %d" % (rule, result.counts[rule]))
        examples = result.examples.get(rule)
        if examples:
            # Longer collating elements are listed in full; others by example.
            full = rule.startswith("longer")
            shown = ", ".join(show(x) for x in (examples if full else examples[:12]))
            if len(examples) > 12 and not full:
                shown += ", ..."
            lines.extend("#     " + chunk for chunk in wrap(shown, 74))
    return lines


def show(x):
    if isinstance(x, int):
        return "U+%04X" % x
    return '"%s"' % "".join(c if c.isprintable() and ord(c) > 0x20 else "\\u%04X" % ord(c) for c in x)


def wrap(text, width):
    out, line = [], ""
    for word in text.split(" "):
        if line and len(line) + 1 + len(word) > width:
            out.append(line)
            line = word
        else:
            line = word if not line else line + " " + word
    if line:
        out.append(line)
    return out


def header(entry, result, unicode):
    lines = ["# %s: collation %d. Generated; do not edit." % (entry.name, entry.number),
             "# Regenerate with: %s" % COMMAND,
             "# Sources:"]
    lines += ["#   " + n for n in source_notes(result.collate.sources, unicode)]
    if entry.base:
        lines.append("# Only the lines that differ from %s." % entry.base)
    lines.append("# Entries each importer rule approximated or changed (docs/collation-sources.md):")
    lines += count_lines(result) or ["#   none"]
    return lines


def write(path, lines):
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def write_items(items_path, listed):
    with open(items_path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    kept = [l for l in lines if l.split()[:1] != ["collation"]]
    mine = ["collation  %-5d %s" % (s.number, s.name) for s in sorted(listed, key=lambda s: s.number)]
    with open(items_path, "w", encoding="utf-8") as f:
        f.write("\n".join(kept + mine) + "\n")


# ---------------------------------------------------------------------------

def build_all(locales_dir, data_dir, unicode_dir, list_path):
    listed = read_list(list_path)
    unicode = Unicode(unicode_dir)
    by_name = {s.name: s for s in listed}
    for entry in listed:
        if entry.base and by_name[entry.base].base:
            raise CollationImportError("%s: a base must itself have no base" % entry.name)
    results = {}
    listings = {}
    for entry in listed:
        if not entry.base:
            results[entry.name] = read_collation(entry, locales_dir, unicode, None, listings)
    for entry in listed:
        if entry.base:
            anchor = results[entry.base].first_primary_symbol
            results[entry.name] = read_collation(entry, locales_dir, unicode, anchor, listings)

    outputs = {}
    for entry in listed:
        if entry.base:
            continue
        result = results[entry.name]
        derived = [results[s.name] for s in listed if s.base == entry.name]
        numbers = []
        for level in range(3):
            keys = keys_at(result, level)
            reserve = {}
            for d in derived:
                for anchor, group in floating_groups(keys, d, level).items():
                    reserve[anchor] = max(reserve.get(anchor, 0), len(group))
            numbers.append(number_general(keys, reserve, level) if derived
                           else number_alone(keys, level))
        result.numbers = numbers
        units, contractions = concrete(result, numbers, entry.name)
        lines = header(entry, result, unicode)
        lines += ["default-secondary %02X" % lowest(numbers[1]),
                  "default-tertiary %02X" % lowest(numbers[2])]
        if result.order_bits != 0xF:
            lines.append("order-bits %X" % result.order_bits)
        weighted = {u: els for u, els in units.items() if els}
        lines += unit_lines(weighted) + contraction_lines(contractions)
        outputs[entry.name] = lines
        result.concrete = (units, contractions)

    for entry in listed:
        if not entry.base:
            continue
        base = results[entry.base]
        result = results[entry.name]
        numbers, remaps = [], []
        for level in range(3):
            groups = floating_groups(keys_at(base, level), result, level)
            numbers.append(number_derived(base.numbers[level], result, groups, level, entry.name))
            remap = {}
            if level:
                for key, n in numbers[level].items():
                    old = base.numbers[level].get(key)
                    if old is not None and old != n:
                        remap[old] = n
            remaps.append(remap)
        units, contractions = concrete(result, numbers, entry.name)
        lines = header(entry, result, unicode)
        lines.append("base %s" % entry.base)
        for level, word in ((1, "secondary"), (2, "tertiary")):
            if lowest(numbers[level]) != lowest(base.numbers[level]):
                lines.append("default-%s %02X" % (word, lowest(numbers[level])))
        if result.order_bits != base.order_bits:
            lines.append("order-bits %X" % result.order_bits)
        for level, word in ((1, "secondary"), (2, "tertiary")):
            lines += ["remap-%s %02X %02X" % (word, old, new) for old, new in sorted(remaps[level].items())]

        def remapped(e):
            return (e[0], remaps[1].get(e[1], e[1]), remaps[2].get(e[2], e[2]))
        base_units, base_contractions = base.concrete
        changed_units = {}
        for u in set(base_units) | set(units):
            expected = tuple(remapped(e) for e in base_units.get(u, ()))
            if units.get(u, ()) != expected:
                changed_units[u] = units.get(u, ())
        changed_contractions = {}
        for pair in set(base_contractions) | set(contractions):
            expected = base_contractions.get(pair)
            expected = remapped(expected) if expected else None
            if contractions.get(pair) != expected:
                changed_contractions[pair] = contractions.get(pair)
        lines += unit_lines(changed_units) + contraction_lines(changed_contractions)
        outputs[entry.name] = lines

    folder = os.path.join(data_dir, "collations")
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.endswith(".txt") and old[:-4] not in outputs:
            os.remove(os.path.join(folder, old))
    for entry in listed:
        write(os.path.join(folder, entry.name + ".txt"), outputs[entry.name])
    write_items(os.path.join(data_dir, "items.list"), listed)
    return listed, results


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--locales", default="/usr/share/i18n/locales")
    parser.add_argument("--data", default=os.path.join(ROOT, "data"))
    parser.add_argument("--unicode", default="/usr/share/unicode")
    parser.add_argument("--list", default=os.path.join(HERE, "collations.txt"))
    args = parser.parse_args()
    try:
        listed, results = build_all(args.locales, args.data, args.unicode, args.list)
    except (CollateError, CollationListError, CollationImportError, KeyError, ValueError, OSError) as e:
        print("glibc_collations: %s" % e, file=sys.stderr)
        return 1
    for entry in listed:
        counts = results[entry.name].counts
        print("glibc_collations: %s (%d): %s" % (
            entry.name, entry.number,
            "; ".join("%s %d" % (rule, counts[rule]) for rule in sorted(counts)) or "exact"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
