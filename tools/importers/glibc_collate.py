"""Reads a glibc LC_COLLATE definition into one ordered list of entries.

glibc's collation source is a single list: collating symbols, characters and
collating elements, in order. An entry's weight at each level is a list of
references to entries, and a weight's value is the referenced entry's place in
the list. So the list order alone fixes every comparison; this reader keeps the
list and each character's or element's references, and leaves numbering to the
caller.

Supported syntax: comment_char, escape_char, copy (the copied definition is
read first, into the same list), collating-symbol (single or <S0009>..<S327F>
ranges), collating-element ... from "...", define/undef/ifdef/ifndef/else/
endif, order_start/order_end, symbol lines outside a section (they place the
symbol), reorder-after/reorder-end (the named entries move, or are inserted,
after the anchor, one after the other), "..." ellipsis lines and UNDEFINED
(skipped). A name used in a list without being declared is taken as a
collating symbol, as glibc's localedef does (sv_SE declares <aring> but uses
<a-ring>); `undeclared` lists them.

Keys: a character is its code point (int); a symbol or collating element is
its name (str). A weight reference is such a key, or ("implicit", code point)
for glibc's computed weights <Rxxxx><Txxxx>.
"""

import os
import re

CHAR_NAME = re.compile(r"U([0-9A-Fa-f]{4,8})")


class CollateError(Exception):
    pass


def implicit_code_point(lead, trail):
    """The code point behind glibc's computed pair <R lead><T trail>."""
    if lead == 0xFB00:
        return 0x17000 + (trail & 0x7FFF)
    for base, last in ((0xFB40, 0xFB41), (0xFB80, 0xFB9F), (0xFBC0, 0xFBE1)):
        if base <= lead <= last:
            return ((lead - base) << 15) | (trail & 0x7FFF)
    raise CollateError("unknown computed weight <R%04X>" % lead)


class OrderedList:
    """The entry list, as a linked list: entries move often while tailoring."""

    def __init__(self):
        self.next = {}
        self.prev = {}
        self.head = self.tail = None

    def __contains__(self, key):
        return key in self.next

    def unlink(self, key):
        p, n = self.prev.pop(key), self.next.pop(key)
        if p is None:
            self.head = n
        else:
            self.next[p] = n
        if n is None:
            self.tail = p
        else:
            self.prev[n] = p

    def insert_after(self, anchor, key):
        """Inserts key after anchor (None: at the end)."""
        if anchor is None:
            anchor = self.tail
            after = None
        else:
            after = self.next[anchor]
        self.prev[key], self.next[key] = anchor, after
        if anchor is None:
            self.head = key
        else:
            self.next[anchor] = key
        if after is None:
            self.tail = key
        else:
            self.prev[after] = key

    def __iter__(self):
        key = self.head
        while key is not None:
            yield key
            key = self.next[key]


# Parsed definitions, by file and defines: most collations copy the same one.
_READ_BEFORE = {}


class Collate:
    """The LC_COLLATE of one locale, after copy and tailoring.

    order: the entry list. weights: key -> four levels, each a list of
    references (None: the entry weighs itself at every level). elements:
    name -> tuple of code points. moved: entries that a reorder-after placed
    again after they had been placed. directions: (key, per-level
    directions of the section that placed it) for the key asked for in
    `direction_probe`. sources: the files read, in order.
    """

    def __init__(self, folder, defines=(), direction_probe=0x61):
        self.folder = folder
        self.order = OrderedList()
        self.weights = {}
        self.elements = {}
        self.symbols = set()
        self.moved = set()
        self.undeclared = []
        self.defines = set(defines)
        self.probe = direction_probe
        self.probe_directions = None
        self.sources = []

    # -- reading -----------------------------------------------------------

    def read(self, name_or_path):
        path = name_or_path if os.sep in name_or_path else os.path.join(self.folder, name_or_path)
        if not os.path.exists(path):
            raise CollateError("no glibc collation source %s" % path)
        fresh = self.order.head is None and not self.symbols and not self.elements
        memo = (os.path.abspath(path), frozenset(self.defines))
        if fresh and memo in _READ_BEFORE:
            self._restore(_READ_BEFORE[memo])
            return
        first_source = len(self.sources)
        self._read_file(path)
        if fresh:
            _READ_BEFORE[memo] = self._snapshot(self.sources[first_source:])

    def _snapshot(self, sources):
        return (dict(self.order.next), dict(self.order.prev), self.order.head, self.order.tail,
                dict(self.weights), dict(self.elements), set(self.symbols), set(self.moved),
                list(self.undeclared), set(self.defines), self.probe_directions,
                list(sources))

    def _restore(self, snapshot):
        (nxt, prv, self.order.head, self.order.tail, weights, elements, symbols, moved,
         undeclared, defines, self.probe_directions, sources) = snapshot
        self.order.next, self.order.prev = dict(nxt), dict(prv)
        self.weights, self.elements = dict(weights), dict(elements)
        self.symbols, self.moved, self.defines = set(symbols), set(moved), set(defines)
        self.undeclared = list(undeclared)
        self.sources.extend(sources)

    def _read_file(self, path):
        self.sources.append(path)
        with open(path, encoding="utf-8") as f:
            raw = f.read().split("\n")
        comment, escape = "#", "\\"
        for line in raw[:20]:
            m = re.match(r"\s*(comment_char|escape_char)\s+(\S)", line)
            if m:
                if m.group(1) == "comment_char":
                    comment = m.group(2)
                else:
                    escape = m.group(2)
        lines = list(self._logical_lines(raw, comment, escape))
        try:
            start = lines.index("LC_COLLATE")
        except ValueError:
            raise CollateError("%s has no LC_COLLATE" % path)
        state = _State(path, comment, escape)
        for text in lines[start + 1:]:
            if text.split()[:2] == ["END", "LC_COLLATE"]:
                return
            self._line(text, state)
        raise CollateError("%s: LC_COLLATE has no end" % path)

    @staticmethod
    def _logical_lines(raw, comment, escape):
        buf = ""
        for line in raw:
            body = _strip_comment(line, comment, escape).rstrip()
            if body.endswith(escape) and not body.endswith(escape * 2):
                buf += body[:-1]
                continue
            body = (buf + body).strip()
            buf = ""
            if body:
                yield body

    def _line(self, text, state):
        words = text.split()
        key = words[0]
        if key in ("ifdef", "ifndef"):
            wanted = (words[1] in self.defines) == (key == "ifdef")
            state.conditions.append(wanted)
            return
        if key == "else":
            state.conditions[-1] = not state.conditions[-1]
            return
        if key == "endif":
            state.conditions.pop()
            return
        if not all(state.conditions):
            return
        if key == "define":
            self.defines.add(words[1])
        elif key == "undef":
            self.defines.discard(words[1])
        elif key == "copy":
            self.read(_unquote(words[1]))
        elif key in ("script", "reorder-sections-after", "reorder-sections-end"):
            pass
        elif key == "collating-symbol":
            self._declare_symbols(words[1])
        elif key == "collating-element":
            m = re.match(r"collating-element\s+<([^>]+)>\s+from\s+\"(.*)\"", text)
            if not m:
                raise CollateError("%s: cannot read %r" % (state.path, text))
            units = tuple(ord(c) for c in _decode_string(m.group(2), state.escape))
            self.elements[m.group(1)] = units
        elif key == "order_start":
            state.section = _directions(text)
            state.anchor = None
        elif key == "order_end":
            state.section = None
        elif key == "reorder-after":
            state.anchor = self._key(_single_name(words[1], state))
            if state.anchor not in self.order:
                raise CollateError("%s: reorder-after unknown %s" % (state.path, words[1]))
            state.reordering = True
        elif key == "reorder-end":
            state.reordering = False
            state.anchor = None
        elif key == "UNDEFINED":
            pass
        elif key == "..":
            state.ellipsis = True
            state.ellipsis_weights = text[2:].strip()
        elif key.startswith("<"):
            self._entry(text, state)
        else:
            raise CollateError("%s: unknown keyword %r" % (state.path, key))

    def _declare_symbols(self, symbol):
        m = re.fullmatch(r"<([A-Za-z]+)([0-9A-Fa-f]+)>\.\.<\1([0-9A-Fa-f]+)>", symbol)
        if m:
            width = len(m.group(2))
            for value in range(int(m.group(2), 16), int(m.group(3), 16) + 1):
                self.symbols.add("%s%0*X" % (m.group(1), width, value))
            return
        self.symbols.add(symbol.strip("<>"))

    def _key(self, name):
        m = CHAR_NAME.fullmatch(name)
        if m and name not in self.elements and name not in self.symbols:
            return int(m.group(1), 16)
        return name

    def _entry(self, text, state):
        m = re.match(r"<([^>]+)>\s*(.*)", text)
        key = self._key(m.group(1))
        rest = m.group(2)
        if state.ellipsis:
            self._fill_ellipsis(state.previous, key, state)
            state.ellipsis = False
        if isinstance(key, str) and key not in self.elements and key not in self.symbols:
            self.symbols.add(key)
            self.undeclared.append(key)
        weights = self._weights(rest, key, state) if rest else None
        self._place(key, state)
        if rest or (key not in self.weights and (isinstance(key, int) or key in self.elements)):
            self.weights[key] = weights
        if key == self.probe and state.section is not None:
            self.probe_directions = state.section
        state.previous = key

    def _fill_ellipsis(self, first, last, state):
        if not isinstance(first, int) or not isinstance(last, int):
            raise CollateError("%s: ellipsis between non-characters" % state.path)
        for cp in range(first + 1, last):
            self._place(cp, state)
            levels = state.ellipsis_weights.split(";")
            self.weights[cp] = [[cp] if w.strip() == ".." else self._level(w, cp, state)
                                for w in levels]

    def _place(self, key, state):
        if state.reordering:
            if key in self.order:
                if key == state.anchor:
                    return
                self.order.unlink(key)
                self.moved.add(key)
            self.order.insert_after(state.anchor, key)
            state.anchor = key
        elif key not in self.order:
            self.order.insert_after(None, key)

    def _weights(self, text, key, state):
        levels = _split_levels(text)
        return [self._level(level, key, state) for level in levels]

    def _level(self, text, key, state):
        text = text.strip()
        if text == "IGNORE":
            return []
        if text.startswith('"'):
            text = _unquote(text)
        refs = []
        i = 0
        while i < len(text):
            c = text[i]
            if c == "<":
                j = text.index(">", i)
                refs.append(self._key(text[i + 1:j]))
                i = j + 1
            elif c == state.escape:
                refs.append(ord(text[i + 1]))
                i += 2
            elif c.isspace():
                i += 1
            else:
                refs.append(ord(c))
                i += 1
        return _fold_implicit(refs)


class _State:
    def __init__(self, path, comment, escape):
        self.path = path
        self.comment = comment
        self.escape = escape
        self.conditions = []
        self.section = None
        self.anchor = None
        self.reordering = False
        self.ellipsis = False
        self.ellipsis_weights = ""
        self.previous = None


def _strip_comment(line, comment, escape):
    quoted = False
    i = 0
    while i < len(line):
        c = line[i]
        if c == escape:
            i += 2
            continue
        if c == '"':
            quoted = not quoted
        elif c == comment and not quoted:
            return line[:i]
        i += 1
    return line


def _unquote(text):
    text = text.strip()
    if len(text) >= 2 and text[0] == '"' and text[-1] == '"':
        return text[1:-1]
    return text


def _single_name(word, state):
    m = re.fullmatch(r"<([^>]+)>", word)
    if not m:
        raise CollateError("%s: expected <name>, got %r" % (state.path, word))
    return m.group(1)


def _decode_string(text, escape):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "<":
            j = text.index(">", i)
            m = CHAR_NAME.fullmatch(text[i + 1:j])
            if not m:
                raise CollateError("collating-element with symbol <%s>" % text[i + 1:j])
            out.append(chr(int(m.group(1), 16)))
            i = j + 1
        elif c == escape:
            out.append(text[i + 1])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _split_levels(text):
    levels, current, quoted = [], [], False
    for c in text:
        if c == '"':
            quoted = not quoted
        if c == ";" and not quoted:
            levels.append("".join(current))
            current = []
        else:
            current.append(c)
    levels.append("".join(current))
    return levels


def _directions(text):
    """The per-level directions of an order_start line, e.g. ['forward', 'backward']."""
    fields = text.split(None, 1)[1] if len(text.split()) > 1 else "forward"
    parts = fields.split(";")
    if parts and parts[0].startswith("<"):
        parts = parts[1:]
    return [p.split(",")[0].strip() for p in parts] or ["forward"]


def _fold_implicit(refs):
    """Turns glibc's <Rxxxx><Txxxx> pairs into ("implicit", code point)."""
    out = []
    i = 0
    while i < len(refs):
        r = refs[i]
        if isinstance(r, str) and re.fullmatch(r"R[0-9A-F]{4}", r) and i + 1 < len(refs) \
                and isinstance(refs[i + 1], str) and re.fullmatch(r"T[0-9A-F]{4}", refs[i + 1]):
            out.append(("implicit", implicit_code_point(int(r[1:], 16), int(refs[i + 1][1:], 16))))
            i += 2
        else:
            out.append(r)
            i += 1
    return out
