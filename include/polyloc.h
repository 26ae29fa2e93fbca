/*
 * polyloc.h - the public interface of the Polyloc internationalization library.
 *
 * Compiles as C11 and as C++17 or later. Every function returns plain integers or
 * pointers; failures are numeric codes (the PL_ERR_ constants below), stored in the
 * locale handle's error field or returned directly, as each function documents.
 */
#ifndef POLYLOC_H
#define POLYLOC_H

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <time.h>

#if defined(_WIN32)
#  if defined(POLYLOC_BUILDING)
#    define PL_API __declspec(dllexport)
#  else
#    define PL_API __declspec(dllimport)
#  endif
#else
#  define PL_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Types ------------------------------------------------------------- */

/* A locale handle; a null pointer selects the default handle. */
typedef struct PLLocale PLLocale;

/* Shift state of a stateful encoding: 0 single-byte, 1 shifted. */
typedef uint32_t PLState;

/* One UTF-16 code unit (the U forms). */
typedef uint16_t PLUChar;

/* One packed character: the encoded bytes, first byte most significant (the W forms). */
typedef uint32_t PLWChar;

/* Allocator hooks. The free hook returns non-zero on success. */
typedef void *(*PLAllocHook)(void *context, size_t size);
typedef int (*PLFreeHook)(void *context, void *block);

/* Enumeration callbacks: return 0 to stop the walk. */
typedef int32_t (*PLEnumCallback)(void *user, int32_t kind, const char *name);
typedef int32_t (*PLEnumCallbackU)(void *user, int32_t kind, const PLUChar *name);
typedef int32_t (*PLEnumCallbackW)(void *user, int32_t kind, const PLWChar *name);

/* ---- Codes ------------------------------------------------------------- */

#define PL_OK                      0    /* success */
#define PL_ERR_FILE                1    /* a platform file operation or a free hook failed */
#define PL_ERR_ARGUMENT            2    /* a flag, option or argument is not accepted */
#define PL_INIT_BUILTIN            10   /* PLInit: initialised, a surviving condition (built-in set) */
#define PL_ERR_INIT                11   /* no environment; or a needed locale file failed to load */
#define PL_ERR_NO_MEMORY           20   /* the alloc hook returned null; or no mutex */
#define PL_ERR_FREE                21   /* the free hook reported failure */
#define PL_ERR_UNKNOWN_CODESET     30   /* unknown code-set name in a locale name */
#define PL_ERR_UNKNOWN_LANGUAGE    31   /* unknown language name in a locale name */
#define PL_ERR_NO_NATIVE_LOCALE    32   /* no native locale identifier matches */
#define PL_ERR_UNKNOWN_MODIFIER    33   /* unknown modifier (collation) name */
#define PL_ERR_UNKNOWN_TERRITORY   34   /* unknown territory name in a locale name */
#define PL_ERR_UNKNOWN_ITEM        35   /* unknown locale information item */
#define PL_ERR_NOT_FOUND           37   /* a name, number, item or character was not found */
#define PL_ERR_BUFFER_TOO_SMALL    40   /* output cut short (never fatal) */
#define PL_ERR_FORMAT              51   /* invalid format specification */
#define PL_ERR_OUTPUT_FULL         52   /* conversion output buffer full; call again */
#define PL_ERR_PARTIAL_CHAR        53   /* conversion input ends inside a character */
#define PL_ERR_STREAM_DIRECTION    60   /* wrong stream direction */
#define PL_ERR_STREAM_READ         61   /* the read callback reported an error */
#define PL_ERR_STREAM_FLUSH        62   /* the write callback failed while flushing */
#define PL_ERR_STREAM_PARTIAL      63   /* the stream ended inside a character */
#define PL_ERR_END_OF_STREAM       64   /* end of stream */
#define PL_ERR_STREAM_WRITE        65   /* the write callback failed while writing */
#define PL_ERR_NULL_CATALOG        70   /* null catalog handle */
#define PL_ERR_CATALOG             71   /* a catalog could not be opened or read */
#define PL_ERR_NO_MESSAGE          72   /* message not found in the catalog */
#define PL_WARN_REPLACED           73   /* converted, with replacement bytes */
#define PL_ERR_REGEX_INVALID       80   /* invalid regular expression */
#define PL_ERR_REGEX_COLLATE       81   /* invalid collating element */
#define PL_ERR_REGEX_CLASS         82   /* invalid character class */
#define PL_ERR_REGEX_ESCAPE        83   /* backslash applied to an unescapable character */
#define PL_ERR_REGEX_BACKREF       84   /* invalid backreference number */
#define PL_ERR_REGEX_BRACKET       85   /* brackets [ ] not balanced */
#define PL_ERR_REGEX_PAREN         86   /* parentheses ( ) not balanced */
#define PL_ERR_REGEX_BRACE         87   /* braces { } not balanced */
#define PL_ERR_REGEX_COUNT         88   /* invalid repetition count in { } */
#define PL_ERR_REGEX_RANGE         89   /* invalid character range in [ ] */
#define PL_ERR_REGEX_REPEAT        90   /* ?, * or + operand invalid */
#define PL_ERR_REGEX_EMPTY         91   /* empty (sub)expression */
#define PL_ERR_FILE_NOT_FOUND      1000 /* file not found */
#define PL_ERR_ACCESS_DENIED       1001 /* access to the file denied */
#define PL_ERR_WRITE_ONLY          1002 /* read requested on a file opened for writing */
#define PL_ERR_FILE_READ           1003 /* read, seek or map failed; path too long; no directory */
#define PL_ERR_UNMAP               1005 /* a mapped view could not be unmapped */
#define PL_ERR_NOT_DATA_FILE       2000 /* not a locale data file (bad magic number) */

/* ---- Flags and kinds --------------------------------------------------- */

/* PLInit flags: strict loading, no built-in substitute for unreadable files. */
#define PL_INIT_STRICT             ((int32_t)0x80000001)

/* Kinds of control-table items, as passed to the enumeration callbacks. */
#define PL_KIND_LANGUAGE           0
#define PL_KIND_TERRITORY          1
#define PL_KIND_CODESET            2
#define PL_KIND_COLLATION          3

/* ---- Library frame ----------------------------------------------------- */

/*
 * Initialises the library (nested calls are counted). localeDir names the locale
 * directory, or is null to search PL_LOCALEDIR and then the default directory.
 * Null hooks select the defaults; a null context keeps the stored one.
 * Returns PL_OK, PL_INIT_BUILTIN (the built-in locale set stands in), PL_ERR_INIT
 * or PL_ERR_NO_MEMORY.
 */
PL_API int32_t PLInit(const char *localeDir, PLAllocHook allocHook, PLFreeHook freeHook,
                      void *allocContext, int32_t initFlags);

/* PLInit with a null-terminated UTF-16 directory name. */
PL_API int32_t PLInitU(const PLUChar *localeDir, PLAllocHook allocHook, PLFreeHook freeHook,
                       void *allocContext, int32_t initFlags);

/* Ends one PLInit; the last call releases everything. Returns a code. */
PL_API int32_t PLTerm(void);

/* Resets *state to the initial shift state and clears the handle's error field. */
PL_API void PLInitState(PLLocale *locale, PLState *state);

/* The last code stored in the handle (null: the default handle). Does not clear it. */
PL_API int32_t PLGetError(PLLocale *locale);

/* ---- Locale handles ------------------------------------------------------ */

/* Flags of PLGetLocale and PLSetLocale. */
#define PL_LOCALE_FROM_ENV         2    /* take the name from PL_LANG, ignore the argument */
#define PL_LOCALE_TOLERANT         4    /* unknown parts fall back to the defaults */

/*
 * A new handle for a locale name: language, optionally "_" territory, "." code set and
 * "@" modifier (collation; "BINARY" names none), each matched without regard to case,
 * such as "English_UnitedStates.US-ASCII". Missing or empty parts take the language's
 * defaults; an empty language is English. *error (may be null) receives PL_OK or the
 * failure: PL_ERR_UNKNOWN_LANGUAGE, _TERRITORY, _CODESET, _MODIFIER, PL_ERR_INIT (a
 * data file could not be loaded), PL_ERR_NO_MEMORY or PL_ERR_ARGUMENT (flags).
 * Release the handle with PLReleaseLocale.
 */
PL_API PLLocale *PLGetLocale(const char *name, int32_t flags, int32_t *error);
/* The same with a UTF-16 name. */
PL_API PLLocale *PLGetLocaleU(const PLUChar *name, int32_t flags, int32_t *error);
/* The same with a name of 32-bit characters whose low bytes are its characters. */
PL_API PLLocale *PLGetLocaleW(const PLWChar *name, int32_t flags, int32_t *error);

/* Creates a handle as PLGetLocale does and installs it as the default handle (the one
   a null handle selects), releasing the previous default. Returns the code; on
   failure the default is unchanged. */
PL_API int32_t PLSetLocale(const char *name, int32_t flags);
PL_API int32_t PLSetLocaleU(const PLUChar *name, int32_t flags);
PL_API int32_t PLSetLocaleW(const PLWChar *name, int32_t flags);

/* Releases a handle; PL_OK, or PL_ERR_FILE when the free hook reported a failure. */
PL_API int32_t PLReleaseLocale(PLLocale *locale);

/* ---- Locale enumeration ------------------------------------------------ */

/*
 * Calls callback(user, kind, name) for every item of the control table in table
 * order (languages, territories, code sets, collations), until the last item or the
 * first call that returns 0. Items are not loaded. Returns 0.
 */
PL_API int32_t PLEnumLocales(PLEnumCallback callback, void *user);

/* As PLEnumLocales, with each name converted to UTF-16 through code set 1. */
PL_API int32_t PLEnumLocalesU(PLEnumCallbackU callback, void *user);

/* As PLEnumLocales, with each name byte widened to a 32-bit value. */
PL_API int32_t PLEnumLocalesW(PLEnumCallbackW callback, void *user);

#ifdef __cplusplus
}
#endif

#endif /* POLYLOC_H */
