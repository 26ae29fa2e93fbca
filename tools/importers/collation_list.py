"""Reads tools/importers/collations.txt: the collations to ship and their sources."""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_PATH = os.path.join(HERE, "collations.txt")


class CollationListError(Exception):
    pass


class ListedCollation:
    def __init__(self, number, name, source, options):
        self.number = number
        self.name = name
        self.source = source
        self.base = options.pop("base", None)
        self.ideographs = options.pop("ideographs", "implicit")
        languages = options.pop("languages", "")
        self.languages = [l for l in languages.split(",") if l]
        if options:
            raise CollationListError("%s: unknown keys %s" % (name, ", ".join(sorted(options))))

    def source_path(self, locales_dir):
        """A rules file lives next to this list; anything else is a glibc locale."""
        if "/" in self.source:
            return os.path.join(HERE, self.source)
        return os.path.join(locales_dir, self.source)


def read(path=DEFAULT_PATH):
    listed = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) < 3 or not words[0].isdigit():
                raise CollationListError("%s:%d: expected <number> <name> <source>" % (path, number))
            options = {}
            for word in words[3:]:
                if "=" not in word:
                    raise CollationListError("%s:%d: expected key=value, got %r" % (path, number, word))
                key, value = word.split("=", 1)
                options[key] = value
            name = words[1]
            if len(name) > 35 or not re.fullmatch(r"[!-~]+", name):
                raise CollationListError("%s:%d: bad collation name %r" % (path, number, name))
            listed.append(ListedCollation(int(words[0]), name, words[2], options))
    names = [s.name for s in listed]
    numbers = [s.number for s in listed]
    if len(set(names)) != len(names) or len(set(numbers)) != len(numbers):
        raise CollationListError("%s: a collation name or number is used twice" % path)
    for entry in listed:
        if entry.base and entry.base not in names:
            raise CollationListError("%s: base %s is not listed" % (entry.name, entry.base))
    return listed


def default_collations(listed):
    """language name -> collation number, and the number of every other language."""
    by_language = {}
    fallback = 0
    for entry in listed:
        for language in entry.languages:
            if language == "*":
                fallback = entry.number
            elif language in by_language:
                raise CollationListError("language %s has two default collations" % language)
            else:
                by_language[language] = entry.number
    return by_language, fallback
