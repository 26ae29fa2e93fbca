// What the subcommands share: the locales and the input files they are given.
#pragma once

#include <cstdio>
#include <functional>
#include <vector>

#include "polyloc.h"

// A locale by name; a bare code-set name stands for the default language in that set.
// Null, reported on standard error with `command`'s name, when there is none.
PLLocale *open_locale(const char *name, const char *command);

// Initialises the library over `directory` (null: the default search), opens the
// locale `name` and runs `body` on it, then releases everything. The exit status of
// `body`, or 1 (reported under `command`'s name) when the library or the locale
// cannot be had.
int with_locale(const char *directory, const char *name, const char *command,
                const std::function<int(PLLocale *)> &body);

// The shift bytes of a stateful code set; both -1 in any other.
struct ShiftBytes {
  int out = -1, in = -1;
  bool stateful() const { return out >= 0 && in >= 0; }
  // The state behind the `n` bytes at `text`, which start in `state`.
  PLState after(const char *text, size_t n, PLState state) const {
    for (size_t i = 0; i < n; ++i) {
      int b = static_cast<unsigned char>(text[i]);
      if (b == out) state = 1;
      else if (b == in) state = 0;
    }
    return state;
  }
};
ShiftBytes shift_bytes(PLLocale *locale);

// The code set's line feed: the byte U+000A converts to ("\n" where none does).
char line_feed(PLLocale *locale);

// Opens each of `files` in turn ("-", and an empty list, stand for standard input) and
// hands it to `read`, which reads it to the end and returns false (having said why)
// when everything must stop. A file that cannot be opened or read is reported under
// `command`'s name. Returns 0, 1 when a file failed, or -1 when `read` stopped.
int read_inputs(const std::vector<const char *> &files, const char *command,
                const std::function<bool(FILE *)> &read);
