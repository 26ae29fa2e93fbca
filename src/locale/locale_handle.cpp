// Locale names: language, optionally "_" territory, "." code set, "@" modifier; a
// missing part takes the language's default.
#include "locale/locale_handle.h"

#include "charset/charset_view.h"
#include "charset/from_unicode.h"
#include "frame/memory.h"
#include "locale/conventions.h"
#include "locale/records/record_view.h"

namespace pl {
namespace {

namespace lang = layout::language;

// A part of the name: its start and length; absent when its separator is missing.
struct Part {
  bool present = false;
  size_t start = 0;
  size_t length = 0;
};

struct Parts {
  Part language, territory, codeset, modifier;
};

// Splits a name of either width; separators are the characters "_", "." and "@"
// themselves (in the wide form, elements of exactly those values).
template <class Char>
Parts split_name(const Char *name, size_t length) {
  auto find = [&](size_t from, const char *stops) {
    for (size_t i = from; i < length; ++i)
      for (const char *s = stops; *s; ++s)
        if (name[i] == static_cast<Char>(*s)) return i;
    return length;
  };
  Parts parts;
  size_t end = find(0, "_.@");
  parts.language = {true, 0, end};
  if (end < length && name[end] == static_cast<Char>('_')) {
    size_t next = find(end + 1, ".@");
    parts.territory = {true, end + 1, next - end - 1};
    end = next;
  }
  if (end < length && name[end] == static_cast<Char>('.')) {
    size_t next = find(end + 1, "@");
    parts.codeset = {true, end + 1, next - end - 1};
    end = next;
  }
  if (end < length && name[end] == static_cast<Char>('@'))
    parts.modifier = {true, end + 1, length - end - 1};
  return parts;
}

ControlEntry *find_part(Environment *env, int kind, const char *name, const Part &part,
                        Code *code) {
  return find_by_name(env, kind, name + part.start, part.length, false, code);
}

ControlEntry *find_part(Environment *env, int kind, const PLWChar *name, const Part &part,
                        Code *code) {
  return find_by_wide_name(env, kind, name + part.start, part.length, false, code);
}

// A lookup's failure as the creation reports it: not found gives the part's own
// code, running out of memory stays 20, anything else is a load failure (11).
Code creation_code(Code lookup, Code not_found) {
  if (lookup == PL_ERR_NOT_FOUND) return not_found;
  return lookup == PL_ERR_NO_MEMORY ? PL_ERR_NO_MEMORY : PL_ERR_INIT;
}

template <class Char>
Code resolve_items(Environment *env, const Char *name, size_t length, int32_t flags,
                   PLLocale *handle) {
  bool tolerant = (flags & kTolerantNames) != 0;
  Parts parts = split_name(name, length);
  Code code = PL_OK;
  if (parts.language.length > 0) handle->language = find_part(env, layout::kLanguage, name, parts.language, &code);
  if (handle->language == nullptr) {
    if (parts.language.length > 0 && (code != PL_ERR_NOT_FOUND || !tolerant))
      return creation_code(code, PL_ERR_UNKNOWN_LANGUAGE);
    handle->language = find_by_name(env, layout::kLanguage, "English", 7, false, &code);
    if (handle->language == nullptr) return creation_code(code, PL_ERR_UNKNOWN_LANGUAGE);
  }
  records::RecordView language(*handle->language);

  struct Item {
    const Part &part;
    int kind;
    int default_word;
    Code not_found;
    ControlEntry *PLLocale::*field;
  };
  const Item items[] = {
      {parts.territory, layout::kTerritory, lang::kDefaultTerritory, PL_ERR_UNKNOWN_TERRITORY, &PLLocale::territory},
      {parts.codeset, layout::kCodeset, lang::kDefaultCodeset, PL_ERR_UNKNOWN_CODESET, &PLLocale::codeset},
      {parts.modifier, layout::kCollation, lang::kDefaultCollation, PL_ERR_UNKNOWN_MODIFIER, &PLLocale::collation},
  };
  for (const Item &item : items) {
    ControlEntry *entry = nullptr;
    bool named = item.part.length > 0;
    if (named) {
      entry = find_part(env, item.kind, name, item.part, &code);
      // "BINARY" names no collation: found, with nothing to point at.
      if (entry == nullptr && code == PL_OK) continue;
      if (entry == nullptr && (code != PL_ERR_NOT_FOUND || !tolerant))
        return creation_code(code, item.not_found);
    }
    if (entry == nullptr) {
      entry = find_by_number(env, item.kind, language.word(item.default_word), false, &code);
      if (entry == nullptr && code != PL_OK) return creation_code(code, item.not_found);
    }
    handle->*item.field = entry;
  }
  return PL_OK;
}

template <class Char>
PLLocale *create_handle(Environment *env, const Char *name, size_t length, int32_t flags, Code *code) {
  PLLocale *handle = create<PLLocale>();
  if (handle == nullptr) {
    *code = PL_ERR_NO_MEMORY;
    return nullptr;
  }
  *code = resolve_items(env, name, length, flags, handle);
  if (*code == PL_OK) {
    set_item_flags(handle);
    *code = derive_conventions(handle);
  }
  if (*code != PL_OK) {
    release_locale(handle);
    return nullptr;
  }
  return handle;
}

// Whether the set writes every ASCII unit but NUL as the byte of its value: checked with
// the set's own conversion, since being ASCII-based says so only of the bytes' reading.
bool ascii_units_are_bytes(const ControlEntry &codeset) {
  CharsetView set(codeset);
  if (!set.ascii_based() || set.stateful()) return false;
  for (uint32_t unit = 1; unit < 0x80; ++unit) {
    uint8_t bytes[4];
    if (to_bytes(codeset, unit, bytes) != 1 || bytes[0] != unit) return false;
    auto byte = static_cast<uint8_t>(unit);
    if (set.byte_length(byte) > 1 || set.byte_unicode(byte) != unit) return false;
  }
  return true;
}

}  // namespace

PLLocale *create_locale(Environment *env, const char *name, size_t length, int32_t flags,
                        Code *code) {
  return create_handle(env, name, length, flags, code);
}

PLLocale *create_locale_wide(Environment *env, const PLWChar *name, size_t length, int32_t flags,
                             Code *code) {
  return create_handle(env, name, length, flags, code);
}

void set_item_flags(PLLocale *handle) {
  CharsetView codeset(*handle->codeset);
  uint16_t flags = handle->flags & kHandleMonetaryFlags;
  if (codeset.max_length() == 1) flags |= kHandleSingleByte;
  if (codeset.stateful()) flags |= kHandleStateful;
  if (handle->collation == nullptr) flags |= kHandleNoCollation;
  if (ascii_units_are_bytes(*handle->codeset)) flags |= kHandleAsciiUnits;
  handle->flags = flags;
}

Code release_locale(PLLocale *handle) {
  bool ok = true;
  for (int s = 0; s < kStringCount; ++s) {
    ok = release(handle->strings[s]) && ok;
    ok = release(handle->strings_unicode[s]) && ok;
  }
  ok = release(handle) && ok;
  return ok ? PL_OK : PL_ERR_FILE;
}

}  // namespace pl
