#!/usr/bin/env python3
"""Writes the Unicode tables the library carries, from the Unicode Character Database.

usage: generate_unicode_tables.py [--ucd DIR] --out REPO_ROOT

Writes, relative to REPO_ROOT:
  src/charset/unicode/unicode_type_table.h  type-word ranges over UTF-16 units
  src/string/unicode/case_tables.h          one-to-one and special uppercase mappings
  src/string/unicode/width_tables.h         full-width and narrow mappings
  src/string/unicode/digit_table.h          decimal digits of other scripts to ASCII

The layout of the type word is documented in docs/unicode-types.md. The output only
depends on the UCD files, so regenerating from the same version changes nothing.
"""
import argparse
import os
import re
import sys

GENERATOR = "tools/unicode/generate_unicode_tables.py"
BMP = 0x10000

# Class bits.
ALPHA, UPPER, LOWER, DIGIT, XDIGIT, PUNCT, SPACE, BLANK, CNTRL, DEFINED = (
    1 << b for b in range(10))

# Categories: one bit each, from the general category.
CATEGORY = {
    "Cc": 0x001,
    "Lu": 0x002, "Ll": 0x002, "Lt": 0x002, "Lm": 0x002, "Lo": 0x002,
    "Mn": 0x004, "Mc": 0x004, "Me": 0x004,
    "Nd": 0x008,
    "Nl": 0x010, "No": 0x010,
    "Zl": 0x020, "Zp": 0x020,
    "Cf": 0x040,
    "Co": 0x080,
    "Cs": 0x100,
    "Zs": 0x400,
}
CATEGORY_TAB = 0x200
CATEGORY_PUNCT = 0x800  # P* and S*: symbols count as punctuation, as in POSIX

# Third-field flags; bit 0 is read back from the alphabetic class bit.
RIGHT_TO_LEFT, IDEOGRAPHIC, WIDE, SEPARATOR, IGNORABLE = 0x002, 0x004, 0x008, 0x010, 0x020
ASSIGNED = 0x080


# ---------------------------------------------------------------- reading the UCD

def data_lines(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                yield [field.strip() for field in line.split(";")]


def code_range(text):
    first, _, last = text.partition("..")
    return int(first, 16), int(last or first, 16)


def read_version(ucd):
    with open(os.path.join(ucd, "DerivedCoreProperties.txt"), encoding="utf-8") as f:
        m = re.match(r"# DerivedCoreProperties-(\d+)\.(\d+)\.\d+\.txt", f.readline())
    if not m:
        sys.exit("cannot read the Unicode version from DerivedCoreProperties.txt")
    return "%s.%s" % m.groups()


class Character:
    __slots__ = ("category", "bidi", "decomposition", "digit", "upper", "lower")

    def __init__(self, fields):
        self.category = fields[2]
        self.bidi = fields[4]
        self.decomposition = fields[5]
        self.digit = int(fields[7]) if fields[7] else None
        self.upper = int(fields[12], 16) if fields[12] else None
        self.lower = int(fields[13], 16) if fields[13] else None


def read_unicode_data(ucd):
    """BMP code points to their UnicodeData fields, with First/Last ranges expanded."""
    chars = {}
    first = None
    for fields in data_lines(os.path.join(ucd, "UnicodeData.txt")):
        cp = int(fields[0], 16)
        if cp >= BMP:
            break
        if fields[1].endswith(", First>"):
            first = cp
            continue
        start = first if fields[1].endswith(", Last>") else cp
        first = None
        for c in range(start, cp + 1):
            chars[c] = Character(fields)
    return chars


def read_properties(path, wanted):
    props = {name: set() for name in wanted}
    for fields in data_lines(path):
        if fields[1] in props:
            first, last = code_range(fields[0])
            props[fields[1]].update(range(first, min(last, BMP - 1) + 1))
    return props


def read_wide(ucd):
    wide = set()
    for fields in data_lines(os.path.join(ucd, "EastAsianWidth.txt")):
        if fields[1] in ("W", "F"):
            first, last = code_range(fields[0])
            wide.update(range(first, min(last, BMP - 1) + 1))
    return wide


# ---------------------------------------------------------------- type words

def type_word(classes, category, third):
    # The category's top bit and the third field's lowest bit share bit 21.
    return classes | (category << 10) | ((third & ~1) << 21)


def classify(cp, ch, props, wide):
    gc = ch.category
    alpha = cp in props["Alphabetic"]
    symbolic = gc[0] in "PS"
    classes = DEFINED
    if alpha:
        classes |= ALPHA
    if cp in props["Uppercase"] or gc == "Lt":
        classes |= UPPER
    if cp in props["Lowercase"]:
        classes |= LOWER
    if gc == "Nd":
        classes |= DIGIT
    if cp in props["Hex_Digit"]:
        classes |= XDIGIT
    # Graphic characters that are neither letters nor digits.
    if not alpha and (symbolic or gc[0] == "M" or gc in ("Nl", "No", "Co")):
        classes |= PUNCT
    if cp in props["White_Space"]:
        classes |= SPACE
    if cp == 0x09 or gc == "Zs":
        classes |= BLANK
    if gc == "Cc":
        classes |= CNTRL

    if cp == 0x09:
        category = CATEGORY_TAB
    elif symbolic:
        category = CATEGORY_PUNCT
    else:
        category = CATEGORY[gc]

    third = ASSIGNED
    if ch.bidi in ("R", "AL"):
        third |= RIGHT_TO_LEFT
    if cp in props["Ideographic"]:
        third |= IDEOGRAPHIC
    if cp in wide:
        third |= WIDE
    if cp in props["White_Space"] or (symbolic and not alpha):
        third |= SEPARATOR
    if cp in props["Default_Ignorable_Code_Point"]:
        third |= IGNORABLE
    return type_word(classes, category, third)


def type_ranges(chars, props, wide):
    """Merged (first, last, word) ranges; unassigned units are left out."""
    ranges = []
    for cp in sorted(chars):
        word = classify(cp, chars[cp], props, wide)
        if ranges and ranges[-1][1] == cp - 1 and ranges[-1][2] == word:
            ranges[-1][1] = cp
        else:
            ranges.append([cp, cp, word])
    return ranges


# ---------------------------------------------------------------- unit mappings
#
# A mapping is a list of segments over UTF-16 units: ("add", first, last, delta) adds a
# constant, ("table", first, last) looks the unit up in a table taken from the UCD.
# Units outside every segment map to themselves.

UPPER_SEGMENTS = [
    ("add", 0x0061, 0x007A, -0x20), ("add", 0x00E0, 0x00F6, -0x20), ("add", 0x00F8, 0x00FE, -0x20),
    ("add", 0x00FF, 0x00FF, 0x0178 - 0x00FF), ("table", 0x0101, 0x0292), ("table", 0x03AC, 0x03F2),
    ("table", 0x0430, 0x04F9), ("add", 0x0561, 0x0586, -0x30), ("table", 0x1E01, 0x1EF9),
    ("table", 0x1F00, 0x1FF3), ("add", 0x2170, 0x217F, -0x10), ("add", 0x24D0, 0x24E9, -0x1A),
    ("add", 0xFF41, 0xFF5A, -0x20),
]
LOWER_SEGMENTS = [
    ("add", 0x0041, 0x005A, 0x20), ("add", 0x00C0, 0x00D6, 0x20), ("add", 0x00D8, 0x00DE, 0x20),
    ("table", 0x0100, 0x01FE), ("table", 0x0200, 0x0275), ("table", 0x0386, 0x03EE),
    ("add", 0x0400, 0x0400, 0x50), ("table", 0x0401, 0x04F8), ("add", 0x0531, 0x0556, 0x30),
    ("table", 0x1E00, 0x1EF8), ("table", 0x1F08, 0x1FFC), ("add", 0x2126, 0x2126, 0x03C9 - 0x2126),
    ("add", 0x212A, 0x212A, 0x006B - 0x212A), ("add", 0x212B, 0x212B, 0x00E5 - 0x212B),
    ("add", 0x2160, 0x216F, 0x10), ("add", 0x24B6, 0x24CF, 0x1A), ("add", 0xFF21, 0xFF3A, 0x20),
]
FULLWIDTH_SEGMENTS = [
    ("add", 0x0020, 0x0020, 0x3000 - 0x0020), ("add", 0x0021, 0x007E, 0xFEE0),
    ("table", 0x00A2, 0x00AF), ("add", 0x20A9, 0x20A9, 0xFFE6 - 0x20A9), ("table", 0xFF61, 0xFFEE),
]
HALFWIDTH_SEGMENTS = [
    ("add", 0x2190, 0x2193, 0xFFE9 - 0x2190), ("table", 0x2502, 0x25CB), ("table", 0x3000, 0x30FC),
    ("table", 0x3131, 0x3164), ("add", 0xFF01, 0xFF5E, -0xFEE0), ("table", 0xFFE0, 0xFFE6),
]

# Decimal digits of other scripts folded to ASCII: (first, last, first digit).
DIGIT_RANGES = [
    (0x0030, 0x0039, 0), (0x00B2, 0x00B3, 2), (0x00B9, 0x00B9, 1), (0x0660, 0x0669, 0),
    (0x06F0, 0x06F9, 0), (0x0966, 0x096F, 0), (0x09E6, 0x09EF, 0), (0x0A66, 0x0A6F, 0),
    (0x0AE6, 0x0AEF, 0), (0x0B66, 0x0B6F, 0), (0x0BE7, 0x0BEF, 1), (0x0C66, 0x0C6F, 0),
    (0x0CE6, 0x0CEF, 0), (0x0D66, 0x0D6F, 0), (0x0E50, 0x0E59, 0), (0x0ED0, 0x0ED9, 0),
    (0x0F20, 0x0F29, 0), (0x1040, 0x1049, 0), (0x1369, 0x1371, 1), (0x17E0, 0x17E9, 0),
    (0x1810, 0x1819, 0), (0x2070, 0x2070, 0), (0x2074, 0x2079, 4), (0x2080, 0x2089, 0),
    (0xFF10, 0xFF19, 0),
]
DIGIT_COUNT = 218
SPECIAL_UPPER_COUNT = 76


def simple_case(chars, field):
    def mapping(cp):
        ch = chars.get(cp)
        value = getattr(ch, field) if ch else None
        return cp if value is None else value
    return mapping


def width_pairs(chars):
    """(narrow, wide) pairs from the <wide> and <narrow> decompositions."""
    pairs = []
    for cp, ch in sorted(chars.items()):
        tag, _, rest = ch.decomposition.partition(" ")
        if tag == "<wide>":
            pairs.append((int(rest, 16), cp))
        elif tag == "<narrow>":
            pairs.append((cp, int(rest, 16)))
    return pairs


def pair_mapping(pairs, key, value):
    mapping = {}
    for pair in pairs:
        if pair[key] in mapping:
            sys.exit("U+%04X has two width counterparts" % pair[key])
        mapping[pair[key]] = pair[value]
    return lambda cp: mapping.get(cp, cp)


def build_unit_map(name, segments, reference):
    """Segments with table offsets; every added constant must agree with the UCD."""
    built, values = [], []
    for segment in segments:
        kind, first, last = segment[:3]
        if kind == "add":
            for cp in range(first, last + 1):
                if (cp + segment[3]) & 0xFFFF != reference(cp):
                    sys.exit("%s: U+%04X maps to U+%04X in the UCD" % (name, cp, reference(cp)))
            built.append((first, last, segment[3], -1))
        else:
            built.append((first, last, 0, len(values)))
            values.extend(reference(cp) for cp in range(first, last + 1))
    return built, values


def special_uppers(ucd, chars):
    """Unconditional multi-unit uppercase mappings of BMP lowercase letters, plus U+03A3.

    Titlecase letters (the Greek letters with prosgegrammeni) are left out: their
    one-to-one mapping already leaves them as they are.
    """
    entries = {0x03A3: [0x03A3]}
    for fields in data_lines(os.path.join(ucd, "SpecialCasing.txt")):
        cp = int(fields[0], 16)
        upper = [int(u, 16) for u in fields[3].split()]
        conditional = len(fields) > 4 and fields[4]
        if cp < BMP and chars[cp].category == "Ll" and not conditional and len(upper) > 1:
            if len(upper) > 3 or any(u >= BMP for u in upper):
                sys.exit("U+%04X uppercases to more than three units" % cp)
            entries[cp] = upper
    if len(entries) != SPECIAL_UPPER_COUNT:
        sys.exit("special uppercase table has %d entries, expected %d"
                 % (len(entries), SPECIAL_UPPER_COUNT))
    return sorted(entries.items())


def digit_pairs(chars):
    pairs = []
    for first, last, value in DIGIT_RANGES:
        for cp in range(first, last + 1):
            if chars[cp].digit != value:
                sys.exit("U+%04X has digit value %s, expected %d" % (cp, chars[cp].digit, value))
            pairs.append((cp, 0x30 + value))
            value += 1
    if len(pairs) != DIGIT_COUNT:
        sys.exit("digit table has %d pairs, expected %d" % (len(pairs), DIGIT_COUNT))
    return pairs


# ---------------------------------------------------------------- writing

def header(version, what):
    return ("// Generated by %s from Unicode %s; do not edit.\n// %s\n#pragma once\n\n"
            % (GENERATOR, version, what))


def rows(items, per_line):
    lines = []
    for i in range(0, len(items), per_line):
        lines.append("    " + " ".join(item + "," for item in items[i:i + per_line]))
    return "\n".join(lines) + "\n"


def unit_map_source(prefix, built, values):
    out = "inline constexpr UnitMapSegment k%sSegments[] = {\n" % prefix
    for first, last, delta, table in built:
        sign = "-" if delta < 0 else ""
        out += "    {0x%04X, 0x%04X, %s0x%X, %d},\n" % (first, last, sign, abs(delta), table)
    out += "};\n\n"
    out += "inline constexpr uint16_t k%sValues[] = {\n" % prefix
    out += rows(["0x%04X" % v for v in values], 8)
    out += "};\n\n"
    out += ("inline constexpr UnitMap k%sMap{k%sSegments, %d, k%sValues};\n"
            % (prefix, prefix, len(built), prefix))
    return out


def type_table_source(version, ranges):
    out = header(version, "Type words of UTF-16 units in merged ranges; see docs/unicode-types.md.")
    out += "#include \"charset/unicode/unicode_types.h\"\n\nnamespace pl {\n\n"
    out += "inline constexpr UnicodeTypeRange kUnicodeTypeRanges[] = {\n"
    for first, last, word in ranges:
        out += "    {0x%04X, 0x%04X, 0x%08X},\n" % (first, last, word)
    out += "};\n\n}  // namespace pl\n"
    return out


def case_source(version, upper, lower, specials):
    out = header(version, "One-to-one case mappings of UTF-16 units, multi-unit uppercase forms.")
    out += "#include \"string/unicode/unit_map.h\"\n\nnamespace pl {\n\n"
    out += unit_map_source("Upper", *upper) + "\n" + unit_map_source("Lower", *lower) + "\n"
    out += "inline constexpr SpecialUpper kSpecialUppers[] = {\n"
    for cp, units in specials:
        padded = units + [0] * (3 - len(units))
        out += "    {0x%04X, {0x%04X, 0x%04X, 0x%04X}},\n" % (cp, *padded)
    out += "};\n\n}  // namespace pl\n"
    return out


def width_source(version, full, half):
    out = header(version, "Full-width and narrow forms of UTF-16 units.")
    out += "#include \"string/unicode/unit_map.h\"\n\nnamespace pl {\n\n"
    out += unit_map_source("Fullwidth", *full) + "\n" + unit_map_source("Halfwidth", *half)
    out += "\n}  // namespace pl\n"
    return out


def digit_source(version, pairs):
    out = header(version, "Decimal digits of other scripts and their ASCII digits, sorted by unit.")
    out += "#include \"string/unicode/unit_map.h\"\n\nnamespace pl {\n\n"
    out += "inline constexpr DigitPair kDigitPairs[] = {\n"
    out += rows(["{0x%04X, 0x%02X}" % pair for pair in pairs], 6)
    out += "};\n\n}  // namespace pl\n"
    return out


def write(root, path, text):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ucd", default="/usr/share/unicode",
                        help="directory of the UCD text files")
    parser.add_argument("--out", required=True, help="repository root to write into")
    args = parser.parse_args()

    version = read_version(args.ucd)
    chars = read_unicode_data(args.ucd)
    props = read_properties(os.path.join(args.ucd, "PropList.txt"),
                            ["White_Space", "Hex_Digit", "Ideographic"])
    props.update(read_properties(os.path.join(args.ucd, "DerivedCoreProperties.txt"),
                                 ["Alphabetic", "Uppercase", "Lowercase",
                                  "Default_Ignorable_Code_Point"]))
    ranges = type_ranges(chars, props, read_wide(args.ucd))

    pairs = width_pairs(chars)
    upper = build_unit_map("upper", UPPER_SEGMENTS, simple_case(chars, "upper"))
    lower = build_unit_map("lower", LOWER_SEGMENTS, simple_case(chars, "lower"))
    full = build_unit_map("full width", FULLWIDTH_SEGMENTS, pair_mapping(pairs, 0, 1))
    half = build_unit_map("narrow", HALFWIDTH_SEGMENTS, pair_mapping(pairs, 1, 0))
    specials = special_uppers(args.ucd, chars)
    digits = digit_pairs(chars)

    write(args.out, "src/charset/unicode/unicode_type_table.h", type_table_source(version, ranges))
    write(args.out, "src/string/unicode/case_tables.h",
          case_source(version, upper, lower, specials))
    write(args.out, "src/string/unicode/width_tables.h", width_source(version, full, half))
    write(args.out, "src/string/unicode/digit_table.h", digit_source(version, digits))


if __name__ == "__main__":
    main()
