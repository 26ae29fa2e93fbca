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

/* Number of a locale information item (PL_DECIMAL_POINT, ...). */
typedef int32_t PLLocaleItem;

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
#define PL_ERR_BASE                50   /* number base outside 0 and 2..36 */
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

/* Ends one PLInit; the last call releases everything (the default handle, every
   loaded data file). Returns PL_OK, PL_ERR_FILE when a release failed, or
   PL_ERR_ARGUMENT when the library is not initialised. */
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

/* ---- Locale information ------------------------------------------------ */

/* Items. N: numeric, read with PLGetLocaleNumInfo; the others are text. */
#define PL_LANGUAGE_ID               1   /* N */
#define PL_LANGUAGE_NAME             2
#define PL_LANGUAGE_CODE             3
#define PL_LANGUAGE_DISPLAY_NAME     4
#define PL_TERRITORY_ID              5   /* N */
#define PL_TERRITORY_NAME            6
#define PL_TERRITORY_CODE            7
#define PL_TERRITORY_DISPLAY_NAME    8
#define PL_CODESET_ID                9   /* N */
#define PL_CODESET_NAME              10
#define PL_MODIFIER_ID               11  /* N: the collation, 0 when none */
#define PL_MODIFIER_NAME             12  /* "Binary" when none */
#define PL_DEFAULT_TERRITORY_NAME    13
#define PL_DEFAULT_CODESET_NAME      14
#define PL_DEFAULT_MODIFIER_NAME     15
#define PL_DAY_NAME                  16  /* + weekday, 0 = Sunday */
#define PL_ABBREV_DAY_NAME           23  /* + weekday */
#define PL_MONTH_NAME                30  /* + month, 0 = January; + 12 a thirteenth month */
#define PL_ABBREV_MONTH_NAME         43  /* + month */
#define PL_AM_STRING                 56
#define PL_PM_STRING                 57
#define PL_TERRITORY_FLAG            58  /* N */
#define PL_DECIMAL_POINT             59  /* one character */
#define PL_THOUSANDS_SEP             60  /* one character */
#define PL_LIST_SEP                  61  /* one character */
#define PL_GROUPING                  62  /* group sizes such as "3;0" */
#define PL_NUM_DIGITS                63  /* N */
#define PL_CURRENCY_SYMBOL           64
#define PL_INT_CURR_SYMBOL           65
#define PL_MON_DECIMAL_POINT         66  /* one character */
#define PL_MON_THOUSANDS_SEP         67  /* one character */
#define PL_MON_GROUPING              68
#define PL_FRAC_DIGITS               69  /* N */
#define PL_INT_FRAC_DIGITS           70  /* N */
#define PL_POSITIVE_SIGN             71
#define PL_NEGATIVE_SIGN             72
#define PL_P_CS_PRECEDES             73  /* N, 0 or 1 */
#define PL_P_SEP_BY_SPACE            74  /* N, 0 or 1 */
#define PL_N_CS_PRECEDES             75  /* N, 0 or 1 */
#define PL_N_SEP_BY_SPACE            76  /* N, 0 or 1 */
#define PL_P_SIGN_POSN               77  /* N, 0..4 */
#define PL_N_SIGN_POSN               78  /* N, 0..4 */
#define PL_TIME_FORMAT               79
#define PL_DATE_FORMAT               80
#define PL_LONG_DATE_FORMAT          81
#define PL_TERRITORY_FLAG_5          82  /* N, 0 or 1 */
#define PL_TERRITORY_FLAG_6          83  /* N, 0 or 1 */
#define PL_TERRITORY_VALUE           84  /* N */
#define PL_MAX_CHAR_LEN              85  /* N: longest character in bytes */
#define PL_CODESET_ASCII_BASED       86  /* N: 1 ASCII-based, 0 EBCDIC-based */
#define PL_CODESET_STATEFUL          87  /* N */
#define PL_LOCALE_NAME               88  /* "language_territory.codeset@collation" */
#define PL_SHIFT_IN_BYTE             89  /* PLGetLocaleTextInfoEx only */
#define PL_SHIFT_OUT_BYTE            90  /* PLGetLocaleTextInfoEx only */

/* Flags of the information functions. */
#define PL_FROM_TERRITORY          1       /* the territory's value, not the handle's */
#define PL_COUNT_CHARS             0x4000  /* lengths count characters, not bytes */

/* Text kinds written by PLLocaleGetTextItem. */
#define PL_TEXT_RECORD             1  /* UTF-16 text of a language or territory record */
#define PL_TEXT_HANDLE             2  /* the handle's copy, in its code set */
#define PL_TEXT_NAME               3  /* an entry name, ASCII */

/* A numeric item: source 0 the handle's value, PL_FROM_TERRITORY the territory's.
   -1 on failure (PL_ERR_ARGUMENT, PL_ERR_UNKNOWN_ITEM for a text item). */
PL_API int32_t PLGetLocaleNumInfo(PLLocale *locale, PLLocaleItem item, int32_t source);
/* Changes a numeric item of the handle (1..11 select other entries). 1, or 0 with
   PL_ERR_UNKNOWN_ITEM, PL_ERR_NOT_FOUND (value refused, no such entry) or
   PL_ERR_NO_MEMORY. `reserved` is 0. */
PL_API int32_t PLSetLocaleNumInfo(PLLocale *locale, PLLocaleItem item, int32_t value,
                                  int32_t reserved);

/* A text item into `buffer` (`size` bytes, characters under PL_COUNT_CHARS), cut at a
   character and NUL-terminated. Returns the bytes (characters) written with the NUL,
   0 when size is 0, -1 on failure. Flags: PL_FROM_TERRITORY, PL_COUNT_CHARS. */
PL_API int32_t PLGetLocaleTextInfo(PLLocale *locale, PLLocaleItem item, char *buffer,
                                   int32_t size, int32_t flags);
/* The same with the shift bytes of a stateful code set, written from `state`. */
PL_API int32_t PLGetLocaleTextInfoEx(PLLocale *locale, PLLocaleItem item, char *buffer,
                                     PLState state, int32_t size, int32_t flags);
/* The same in UTF-16 units. */
PL_API int32_t PLGetLocaleTextInfoU(PLLocale *locale, PLLocaleItem item, PLUChar *buffer,
                                    int32_t size, int32_t flags);
/* The same in packed characters of the handle's code set. */
PL_API int32_t PLGetLocaleTextInfoW(PLLocale *locale, PLLocaleItem item, PLWChar *buffer,
                                    int32_t size, int32_t flags);

/* Changes a text item: names (2, 6, 10, 12) select other entries, the character and
   string items replace the handle's copy. `length` in bytes (characters under
   PL_COUNT_CHARS), negative for up to the NUL. 1, or 0 with PL_ERR_NOT_FOUND (value
   refused), PL_ERR_UNKNOWN_ITEM, PL_ERR_NO_MEMORY or PL_ERR_ARGUMENT. */
PL_API int32_t PLSetLocaleTextInfo(PLLocale *locale, PLLocaleItem item, const char *text,
                                   int32_t length, int32_t flags);
PL_API int32_t PLSetLocaleTextInfoEx(PLLocale *locale, PLLocaleItem item, const char *text,
                                     PLState state, int32_t length, int32_t flags);
PL_API int32_t PLSetLocaleTextInfoU(PLLocale *locale, PLLocaleItem item, const PLUChar *text,
                                    int32_t length, int32_t flags);
PL_API int32_t PLSetLocaleTextInfoW(PLLocale *locale, PLLocaleItem item, const PLWChar *text,
                                    int32_t length, int32_t flags);

/* Where text item 2..81 is stored: the handle's copy (useHandle non-zero) or the
   record's value. *type receives PL_TEXT_RECORD, PL_TEXT_HANDLE or PL_TEXT_NAME. Null
   for numeric and unknown items. The U form gives the handle's UTF-16 copies. */
PL_API const void *PLLocaleGetTextItem(PLLocale *locale, PLLocaleItem item, int32_t useHandle,
                                       uint32_t *type);
PL_API const void *PLLocaleGetTextItemU(PLLocale *locale, PLLocaleItem item, int32_t useHandle,
                                        uint32_t *type);

/* ---- Character navigation ---------------------------------------------- */

/* Writes and counts a terminating NUL. */
#define PL_TERMINATE               8

/*
 * Strings are in the handle's code set and NUL-terminated unless a length is given;
 * nothing past the NUL is read. The Ex forms follow the shift bytes of a stateful code
 * set: `state` is the state at the given position (0 single-byte, 1 shifted) and
 * *newState (may be null) receives the state at the result; on other code sets they
 * act as the base forms and leave *newState alone. Each clears the handle's error
 * field; a null handle without a default handle stores PL_ERR_ARGUMENT and returns
 * -1, 0 or null.
 */

/* The length in bytes of the character at s. */
PL_API int32_t PLByteLength(PLLocale *locale, const char *s);
/* Stateful sets: 1 for a shift-in byte, the maximum length for a shift-out byte or in
   the shifted state, else 1. */
PL_API int32_t PLByteLengthEx(PLLocale *locale, const char *s, PLState state);
/* 4, 3, 2 or 1 by the highest non-zero byte of a packed character. */
PL_API int32_t PLByteLengthW(PLLocale *locale, PLWChar c);

/* The packed character at s; 0 for a byte of length 0. The Ex form reads behind a run
   of shift bytes, in the state it leaves. */
PL_API PLWChar PLGetChar(PLLocale *locale, const char *s);
PL_API PLWChar PLGetCharEx(PLLocale *locale, const char *s, PLState state);

/* Writes the bytes of c (at least one), no terminator; returns their number. The Ex
   form puts the shift byte the character needs in `state` in front, uncounted. */
PL_API int32_t PLPutChar(PLLocale *locale, char *buffer, PLWChar c);
PL_API int32_t PLPutCharEx(PLLocale *locale, char *buffer, PLState state, PLWChar c);

/* The position behind the character at s (Ex: and behind the shift runs around it). */
PL_API char *PLNextChar(PLLocale *locale, const char *s);
PL_API char *PLNextCharEx(PLLocale *locale, const char *s, PLState state, PLState *newState);

/* The start of the character before position, never before start. */
PL_API char *PLPrevChar(PLLocale *locale, const char *start, const char *position);
PL_API char *PLPrevCharEx(PLLocale *locale, const char *start, const char *position,
                          PLState state, PLState *newState);

/* Whole characters in the first `length` bytes (negative: up to the NUL, not counted);
   shift bytes are not characters. */
PL_API int32_t PLNumChars(PLLocale *locale, const char *s, int32_t length);
PL_API int32_t PLNumCharsEx(PLLocale *locale, const char *s, PLState state, int32_t length);

/* The last character boundary at or before s + n bytes (PL_COUNT_CHARS: n characters
   on), never past the NUL; s for n <= 0. Null for other flags (PL_ERR_ARGUMENT). */
PL_API char *PLMoveStringPointer(PLLocale *locale, const char *s, int32_t n, int32_t flags);
PL_API char *PLMoveStringPointerEx(PLLocale *locale, const char *s, PLState state, int32_t n,
                                   PLState *newState, int32_t flags);

/* Cuts s in place at a character boundary to fit `size` bytes with its NUL
   (PL_COUNT_CHARS: `size` characters, the NUL one of them); the Ex form closes shifted
   text with a shift-in byte. Returns the bytes (characters) kept with the NUL, or -1
   for other flags (PL_ERR_ARGUMENT). */
PL_API int32_t PLTruncateString(PLLocale *locale, char *s, int32_t size, int32_t flags);
PL_API int32_t PLTruncateStringEx(PLLocale *locale, char *s, PLState state, int32_t size,
                                  int32_t flags);

/* Writes the shift-in byte when a stateful set is in the shifted state, then with
   PL_TERMINATE a NUL; returns the bytes written, or -1 for other flags. */
PL_API int32_t PLTerminateStringEx(PLLocale *locale, char *buffer, PLState state, int32_t flags);


/* ---- Character classification ------------------------------------------ */

/* Type queries: the fields of a character's 32-bit type word. */
#define PL_CHAR_CLASS              ((int32_t)0x80000010)  /* class bits, PL_CLASS_... */
#define PL_CHAR_CATEGORY           ((int32_t)0x80000011)  /* 12-bit category */
#define PL_CHAR_THIRD              ((int32_t)0x80000012)  /* bits 21..31, lowest = alphabetic */

/* Class bits. */
#define PL_CLASS_ALPHA             0x001
#define PL_CLASS_UPPER             0x002
#define PL_CLASS_LOWER             0x004
#define PL_CLASS_DIGIT             0x008
#define PL_CLASS_XDIGIT            0x010
#define PL_CLASS_PUNCT             0x020
#define PL_CLASS_SPACE             0x040
#define PL_CLASS_BLANK             0x080
#define PL_CLASS_CNTRL             0x100
#define PL_CLASS_DEFINED           0x200

/*
 * The field `query` asks for of a character's type word: of the character at s in the
 * handle's code set (Ex: behind a run of shift bytes, in the state it leaves), of a
 * UTF-16 unit, or of a packed character. Another query stores PL_ERR_ARGUMENT and
 * still returns the class bits.
 */
PL_API uint32_t PLGetCharType(PLLocale *locale, const char *s, int32_t query);
PL_API uint32_t PLGetCharTypeEx(PLLocale *locale, const char *s, PLState state, int32_t query);
PL_API uint32_t PLGetCharTypeU(PLLocale *locale, PLUChar unit, int32_t query);
PL_API uint32_t PLGetCharTypeW(PLLocale *locale, PLWChar c, int32_t query);

/* 1 when the UTF-16 unit belongs to the class, else 0. The handle is not used. */
PL_API int32_t PLIsAlnumU(PLLocale *locale, PLUChar unit);  /* alphabetic or digit */
PL_API int32_t PLIsAlphaU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsCntrlU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsDigitU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsGraphU(PLLocale *locale, PLUChar unit);  /* alphabetic, digit, punctuation */
PL_API int32_t PLIsLowerU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsPrintU(PLLocale *locale, PLUChar unit);  /* graphic or blank */
PL_API int32_t PLIsPunctU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsSpaceU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsUpperU(PLLocale *locale, PLUChar unit);
PL_API int32_t PLIsXdigitU(PLLocale *locale, PLUChar unit);


/* ---- Conversion -------------------------------------------------------- */

/* A resumable conversion between the code sets of two locales. */
typedef struct PLConversion PLConversion;

/* Flags of the conversion functions: PL_TERMINATE, and PL_COUNT_CHARS where a function
   says so. */

/* Source lengths of the Enhanced forms. */
#define PL_LENGTH_TO_NUL           (-1)    /* up to the NUL */
#define PL_LENGTH_NOT_GIVEN        (-2)    /* no limit of this kind */

/*
 * Common rules: a source length of -1 reads up to the NUL, which is then written and
 * counted when everything before it fits; PL_TERMINATE holds back one unit for a NUL
 * that is always written; PL_COUNT_CHARS makes multibyte lengths and results count
 * characters. Output ends at the last whole character that fits (PL_ERR_BUFFER_TOO_SMALL
 * is stored when something was left out). Other flags: PL_ERR_ARGUMENT and -1.
 * Bytes with no Unicode equivalent become U+FFFD; characters with no equivalent in
 * the target become its replacement byte. Ex forms carry the shift state of a
 * stateful code set; the base forms start in the single-byte state.
 */

/* A conversion from `source`'s code set to `target`'s (null: the default handle); null
   with PL_ERR_NO_MEMORY in the target's error field. Release with PLCloseConversion. */
PL_API PLConversion *PLOpenConversion(PLLocale *target, PLLocale *source);

/* Releases a conversion: PL_OK, or PL_ERR_FREE when the free hook failed. */
PL_API int32_t PLCloseConversion(PLConversion *conversion);

/* The most output bytes one input character can need: 1 for the same code set, else
   the target's longest character, plus 1 for a stateful target. */
PL_API int32_t PLConversionRatio(PLLocale *target, PLLocale *source);

/* Converts from *in (*inLeft bytes) to *out (*outLeft bytes), advancing all four.
   Returns PL_OK when the input is used up, PL_ERR_OUTPUT_FULL when output waits for
   room (call again), PL_ERR_PARTIAL_CHAR when the input ends inside a character (kept
   for the next call). Stores PL_WARN_REPLACED in the target's error field when a
   character was replaced. Never writes a closing shift-in byte. */
PL_API int32_t PLConvertBuffer(PLConversion *conversion, char **out, int32_t *outLeft,
                               const char **in, int32_t *inLeft);

/* A string from `source`'s code set into `target`'s. Bytes written (characters with
   PL_COUNT_CHARS); PL_WARN_REPLACED in the target's error field when a character had
   no equivalent. Flags: PL_TERMINATE, PL_COUNT_CHARS. */
PL_API int32_t PLConvertString(PLLocale *target, char *dst, int32_t dstSize, PLLocale *source,
                               const char *src, int32_t srcLength, int32_t flags);
/* The same with shift states; a stateful output is closed only before a terminator. */
PL_API int32_t PLConvertStringEx(PLLocale *target, char *dst, PLState targetState,
                                 int32_t dstSize, PLLocale *source, const char *src,
                                 PLState sourceState, int32_t srcLength, int32_t flags);
/* The same between arrays of packed characters. */
PL_API int32_t PLConvertStringW(PLLocale *target, PLWChar *dst, int32_t dstCount,
                                PLLocale *source, const PLWChar *src, int32_t srcCount,
                                int32_t flags);

/* Bytes to packed characters, one per character (shift bytes are not stored).
   Flags: PL_TERMINATE, PL_COUNT_CHARS. */
PL_API int32_t PLMbToWide(PLLocale *locale, PLWChar *dst, int32_t dstCount, const char *src,
                          int32_t srcLength, int32_t flags);
PL_API int32_t PLMbToWideEx(PLLocale *locale, PLWChar *dst, int32_t dstCount, const char *src,
                            PLState state, int32_t srcLength, int32_t flags);

/* Packed characters to bytes; a count of -1 converts up to and including the 0
   element. Flags: PL_COUNT_CHARS (the size and result count characters). No closing
   shift-in byte is written. */
PL_API int32_t PLWideToMb(PLLocale *locale, char *dst, int32_t dstSize, const PLWChar *src,
                          int32_t srcCount, int32_t flags);
PL_API int32_t PLWideToMbEx(PLLocale *locale, char *dst, PLState state, int32_t dstSize,
                            const PLWChar *src, int32_t srcCount, int32_t flags);

/* A string of the locale's code set to UTF-16; units written.
   Flags: PL_TERMINATE, PL_COUNT_CHARS. */
PL_API int32_t PLStringToUnicode(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                 const char *src, int32_t srcLength, int32_t flags);
PL_API int32_t PLStringToUnicodeEx(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                   const char *src, PLState state, int32_t srcLength,
                                   int32_t flags);
PL_API int32_t PLStringToUnicodeW(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                  const PLWChar *src, int32_t srcCount, int32_t flags);

/* To UTF-16 within the smaller of a byte and a character limit (PL_LENGTH_TO_NUL,
   PL_LENGTH_NOT_GIVEN; both not given: PL_ERR_NOT_FOUND and -1). The outs (may be
   null) receive the bytes and characters read, a source NUL counted when its
   terminator was written, and the state after them. Flags: PL_TERMINATE. */
PL_API int32_t PLStringToUnicodeEnhanced(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                         const char *src, int32_t srcBytes, int32_t srcChars,
                                         int32_t *bytesRead, int32_t *charsRead, int32_t flags);
PL_API int32_t PLStringToUnicodeEnhancedEx(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                           const char *src, PLState state, int32_t srcBytes,
                                           int32_t srcChars, int32_t *bytesRead,
                                           int32_t *charsRead, PLState *stateOut, int32_t flags);
PL_API int32_t PLStringToUnicodeEnhancedW(PLUChar *dst, int32_t dstUnits, PLLocale *locale,
                                          const PLWChar *src, int32_t srcCount,
                                          int32_t *charsRead, int32_t flags);

/* UTF-16 to the locale's code set; bytes written (characters with PL_COUNT_CHARS).
   A stateful output ends in the single-byte state. Flags: PL_TERMINATE, PL_COUNT_CHARS. */
PL_API int32_t PLUnicodeToString(PLLocale *locale, char *dst, int32_t dstSize, const PLUChar *src,
                                 int32_t srcUnits, int32_t flags);
PL_API int32_t PLUnicodeToStringEx(PLLocale *locale, char *dst, PLState state, int32_t dstSize,
                                   const PLUChar *src, int32_t srcUnits, int32_t flags);
PL_API int32_t PLUnicodeToStringW(PLLocale *locale, PLWChar *dst, int32_t dstCount,
                                  const PLUChar *src, int32_t srcUnits, int32_t flags);

/* UTF-16 to the code set within a byte and a character limit (each at least 1, else
   0 is returned). The outs (may be null) receive the units read and the characters
   written, terminator included, and the state at the end of the output (closed only
   before a terminator). Flags: PL_TERMINATE. */
PL_API int32_t PLUnicodeToStringEnhanced(PLLocale *locale, char *dst, int32_t dstBytes,
                                         int32_t dstChars, const PLUChar *src, int32_t srcUnits,
                                         int32_t *unitsRead, int32_t *charsWritten,
                                         int32_t flags);
PL_API int32_t PLUnicodeToStringEnhancedEx(PLLocale *locale, char *dst, PLState state,
                                           int32_t dstBytes, int32_t dstChars,
                                           const PLUChar *src, int32_t srcUnits,
                                           int32_t *unitsRead, int32_t *charsWritten,
                                           PLState *stateOut, int32_t flags);
PL_API int32_t PLUnicodeToStringEnhancedW(PLLocale *locale, PLWChar *dst, int32_t dstCount,
                                          const PLUChar *src, int32_t srcUnits,
                                          int32_t *unitsRead, int32_t flags);

/* ---- Strings ------------------------------------------------------------- */

/*
 * The string family in four forms: base (bytes of the handle's code set), Ex (the same
 * with the shift states of a stateful code set; on other code sets exactly the base
 * form), U (UTF-16 units) and W (packed characters). Characters are never split: the
 * base and Ex forms step whole characters by the code set's rules and never read past
 * a NUL or a given length. A negative length means NUL-terminated. PL_COUNT_CHARS makes
 * length arguments and results count characters (base and Ex forms). Each function
 * clears the handle's error field; a flag bit it does not take stores PL_ERR_ARGUMENT
 * and gives -1 (integers) or null (pointers). A null string where one is needed, or a
 * null handle without a default handle, also stores PL_ERR_ARGUMENT.
 */

/* PLStrchr and its forms: find the last occurrence instead of the first. */
#define PL_LAST                    ((int32_t)0x80000020)

/* Appends to NUL-terminated dst: count < 0 all of src (and a NUL), count 0 nothing,
   count > 0 the whole characters of src within count bytes (characters). Flags:
   PL_COUNT_CHARS, PL_TERMINATE. Returns the length of dst after it (+1 for a NUL
   written); count 0 gives the length of dst + 1. */
PL_API int32_t PLStrcat(PLLocale *locale, char *dst, const char *src, int32_t count,
                        int32_t flags);
/* A final shift-in of dst is dropped, a shift byte joins differing modes. */
PL_API int32_t PLStrcatEx(PLLocale *locale, char *dst, PLState dstState, const char *src,
                          PLState srcState, int32_t count, int32_t flags);
PL_API int32_t PLStrcatU(PLLocale *locale, PLUChar *dst, const PLUChar *src, int32_t count,
                         int32_t flags);
PL_API int32_t PLWcscat(PLLocale *locale, PLWChar *dst, const PLWChar *src, int32_t count,
                        int32_t flags);

/* The first (PL_LAST: the last) occurrence of the character at chr in the first len
   bytes (characters) of str; len < 0 searches up to and including the NUL. Flags:
   PL_COUNT_CHARS, PL_LAST. */
PL_API char *PLStrchr(PLLocale *locale, const char *str, int32_t len, const char *chr,
                      int32_t flags);
/* *matchState (may be null) receives the mode at the match. */
PL_API char *PLStrchrEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                        const char *chr, PLState chrState, PLState *matchState, int32_t flags);
/* With PL_LAST and len < 0 the terminator is not searched. */
PL_API PLUChar *PLStrchrU(PLLocale *locale, const PLUChar *str, int32_t len, PLUChar chr,
                          int32_t flags);
PL_API PLWChar *PLWcschr(PLLocale *locale, const PLWChar *str, int32_t len, PLWChar chr,
                         int32_t flags);

/* Copies the whole characters of src (srcLen < 0: with its NUL) that fit in
   min(srcLen, dstSize) bytes (characters); no NUL is added. Flags: 0, PL_COUNT_CHARS.
   Returns the bytes (characters) copied. */
PL_API int32_t PLStrcpy(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                        int32_t srcLen, int32_t flags);
/* dstState is the mode where dst is written; a shift byte is put in front when the
   modes differ, and counted. */
PL_API int32_t PLStrcpyEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                          const char *src, PLState srcState, int32_t srcLen, int32_t flags);
PL_API int32_t PLStrcpyU(PLLocale *locale, PLUChar *dst, int32_t dstSize, const PLUChar *src,
                         int32_t srcLen);
PL_API int32_t PLWcscpy(PLLocale *locale, PLWChar *dst, int32_t dstSize, const PLWChar *src,
                        int32_t srcLen);

/* The length of the longest prefix of str made of no character of set (cspn), or only
   of characters of set (spn). Flags: PL_COUNT_CHARS; other bits are ignored. The U
   forms take a surrogate pair as one character. */
PL_API int32_t PLStrcspn(PLLocale *locale, const char *str, int32_t len, const char *set,
                         int32_t setLen, int32_t flags);
PL_API int32_t PLStrcspnEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                           const char *set, PLState setState, int32_t setLen, int32_t flags);
PL_API int32_t PLStrcspnU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *set,
                          int32_t setLen);
PL_API int32_t PLWcscspn(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *set,
                         int32_t setLen);
PL_API int32_t PLStrspn(PLLocale *locale, const char *str, int32_t len, const char *set,
                        int32_t setLen, int32_t flags);
PL_API int32_t PLStrspnEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                          const char *set, PLState setState, int32_t setLen, int32_t flags);
PL_API int32_t PLStrspnU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *set,
                         int32_t setLen);
PL_API int32_t PLWcsspn(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *set,
                        int32_t setLen);

/* The first occurrence of sub in str, starting on a character boundary; str for an
   empty sub. Flags: PL_COUNT_CHARS; other bits are ignored. */
PL_API char *PLStrstr(PLLocale *locale, const char *str, int32_t len, const char *sub,
                      int32_t subLen, int32_t flags);
PL_API char *PLStrstrEx(PLLocale *locale, const char *str, PLState strState, int32_t len,
                        const char *sub, PLState subState, int32_t subLen, PLState *matchState,
                        int32_t flags);
PL_API PLUChar *PLStrstrU(PLLocale *locale, const PLUChar *str, int32_t len, const PLUChar *sub,
                          int32_t subLen);
PL_API PLWChar *PLWcsstr(PLLocale *locale, const PLWChar *str, int32_t len, const PLWChar *sub,
                         int32_t subLen);

/* Re-entrant tokenizer: the token at str after leading delimiters, or null. The
   delimiter that ends it is overwritten with NULs; *next points behind it (null at
   the end) and *len receives what is left there. Flags: PL_COUNT_CHARS; other bits
   are ignored. */
PL_API char *PLStrtok(PLLocale *locale, char *str, int32_t *len, const char *delims,
                      int32_t delimLen, char **next, int32_t flags);
/* Leaves str alone: the token is copied to dst (dstSize bytes with its NUL, closed with
   a shift-in byte); *next and *nextState give the delimiter that ended it. Returns the
   length written with the NUL. */
PL_API int32_t PLStrtokEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                          const char *str, PLState strState, int32_t *len, const char *delims,
                          PLState delimState, int32_t delimLen, const char **next,
                          PLState *nextState, int32_t flags);
PL_API PLUChar *PLStrtokU(PLLocale *locale, PLUChar *str, int32_t *len, const PLUChar *delims,
                          int32_t delimLen, PLUChar **next);
PL_API PLWChar *PLWcstok(PLLocale *locale, PLWChar *str, int32_t *len, const PLWChar *delims,
                         int32_t delimLen, PLWChar **next);

/* Elements before the terminating 0. */
PL_API int32_t PLStrlenU(PLLocale *locale, const PLUChar *str);
PL_API int32_t PLWcslen(PLLocale *locale, const PLWChar *str);

/* ---- String mapping ------------------------------------------------------ */

/* Mapping selectors; PL_COUNT_CHARS may be added to any of them. 0 also copies. */
#define PL_MAP_FULLWIDTH           ((int32_t)0x80000021)  /* narrow to full-width forms */
#define PL_MAP_HALFWIDTH           ((int32_t)0x80000022)  /* full-width to narrow forms */
#define PL_MAP_COPY                ((int32_t)0x80000023)
#define PL_MAP_LOWER               ((int32_t)0x80000024)  /* with the language's pairs */
#define PL_MAP_UPPER               ((int32_t)0x80000025)  /* special cases, language pairs */
#define PL_MAP_LOWER_SIMPLE        ((int32_t)0x80002024)  /* one-to-one only */
#define PL_MAP_UPPER_SIMPLE        ((int32_t)0x80002025)  /* one-to-one only */
#define PL_MAP_DIGITS              0x00000010             /* digits of any script to ASCII */

/*
 * Copies src to dst mapping every character; srcLen < 0 maps the NUL too. A mapping
 * is written only when all of it fits; output stops before the first that does not.
 * Returns the bytes (PL_COUNT_CHARS: characters; at most 512 bytes of output then)
 * written, or -1 with PL_ERR_ARGUMENT for another selector. The Ex form writes the
 * shift bytes its output needs; the U form never ends in a high surrogate.
 */
PL_API int32_t PLMapString(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                           int32_t srcLen, int32_t flags);
PL_API int32_t PLMapStringEx(PLLocale *locale, char *dst, PLState dstState, int32_t dstSize,
                             const char *src, PLState srcState, int32_t srcLen, int32_t flags);
PL_API int32_t PLMapStringU(PLLocale *locale, PLUChar *dst, int32_t dstSize, const PLUChar *src,
                            int32_t srcLen, int32_t flags);
PL_API int32_t PLMapStringW(PLLocale *locale, PLWChar *dst, int32_t dstSize, const PLWChar *src,
                            int32_t srcLen, int32_t flags);

/* ---- String comparison --------------------------------------------------- */

/* Comparison flags (besides PL_COUNT_CHARS). */
#define PL_IGNORE_CASE_SIMPLE      0x00002000             /* one-to-one upper case */
#define PL_IGNORE_CASE             ((int32_t)0x80000040)  /* full upper case, expansions too */

/*
 * Orders two strings by code value: negative, 0 or positive. Lengths < 0 mean
 * NUL-terminated. Flags: PL_COUNT_CHARS, PL_IGNORE_CASE_SIMPLE, PL_IGNORE_CASE (bits
 * 0x40 and 0x80000000 each select full folding); another bit stores PL_ERR_ARGUMENT and
 * gives 0. Full folding allocates: PL_ERR_NO_MEMORY and 0 when that fails.
 */
PL_API int32_t PLStrcmp(PLLocale *locale, const char *s1, int32_t len1, const char *s2,
                        int32_t len2, int32_t flags);
PL_API int32_t PLStrcmpEx(PLLocale *locale, const char *s1, PLState s1State, int32_t len1,
                          const char *s2, PLState s2State, int32_t len2, int32_t flags);
PL_API int32_t PLStrcmpU(PLLocale *locale, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                         int32_t len2, int32_t flags);
PL_API int32_t PLWcscmp(PLLocale *locale, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                        int32_t len2, int32_t flags);

/* ---- Collation and sort keys --------------------------------------------- */

/* Collation flags (besides PL_COUNT_CHARS and PL_IGNORE_CASE). */
#define PL_IGNORE_WIDTH            ((int32_t)0x80000041)  /* full-width forms as narrow ones */

/*
 * Orders two strings by the locale's collation (the modifier of its name): negative,
 * 0 or positive. A locale without collation (modifier "Binary") compares code values
 * as PLStrcmp does. Lengths < 0 mean NUL-terminated. Flags: 0, PL_IGNORE_CASE or
 * PL_IGNORE_WIDTH, each optionally with PL_COUNT_CHARS (ignored by the U and W forms);
 * anything else stores PL_ERR_ARGUMENT and gives 0. PL_ERR_NO_MEMORY and 0 when work
 * space cannot be had.
 */
PL_API int32_t PLStrcoll(PLLocale *locale, const char *s1, int32_t len1, const char *s2,
                         int32_t len2, int32_t flags);
PL_API int32_t PLStrcollEx(PLLocale *locale, const char *s1, PLState s1State, int32_t len1,
                           const char *s2, PLState s2State, int32_t len2, int32_t flags);
PL_API int32_t PLStrcollU(PLLocale *locale, const PLUChar *s1, int32_t len1, const PLUChar *s2,
                          int32_t len2, int32_t flags);
PL_API int32_t PLWcscoll(PLLocale *locale, const PLWChar *s1, int32_t len1, const PLWChar *s2,
                         int32_t len2, int32_t flags);

/*
 * Writes the sort key of src into dst (dstSize bytes) and returns its length in bytes,
 * written or not: keys compare with memcmp (a shorter key that is a prefix sorts
 * first) the way the strings collate. The key is written only when it fits, then
 * followed by zero bytes up to dstSize; built in dst itself when dstSize is at least
 * 16 bytes per UTF-16 unit plus 4. Flags as for PLStrcoll; -1 with PL_ERR_ARGUMENT or
 * PL_ERR_NO_MEMORY. In a locale without collation the key is the string itself.
 */
PL_API int32_t PLStrxfrm(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                         int32_t srcLen, int32_t flags);
PL_API int32_t PLStrxfrmEx(PLLocale *locale, char *dst, int32_t dstSize, const char *src,
                           PLState srcState, int32_t srcLen, int32_t flags);
PL_API int32_t PLStrxfrmU(PLLocale *locale, char *dst, int32_t dstSize, const PLUChar *src,
                          int32_t srcLen, int32_t flags);
PL_API int32_t PLWcsxfrm(PLLocale *locale, char *dst, int32_t dstSize, const PLWChar *src,
                         int32_t srcLen, int32_t flags);

/* ---- Numbers and currency amounts ---------------------------------------- */

/* Flags of the number functions, beside PL_FROM_TERRITORY (the territory's items, not
   the handle's), PL_TERMINATE and PL_COUNT_CHARS. */
#define PL_NUM_MAP_DIGITS          0x00000010  /* parse: digits of any script, full width */
#define PL_NUM_MONETARY            0x00000020  /* parse: monetary separators and signs */
#define PL_NUM_INTL                0x00000040  /* currency: international symbol and digits */
#define PL_NUM_UNSIGNED            0x00000080  /* the value is unsigned 32-bit */
#define PL_NUM_SIX_DECIMALS        0x00400000  /* double: 6 fractional digits */
#define PL_NUM_NO_THOUSANDS        0x02000000  /* parse long: no thousands separator */

/*
 * A number as text with the locale's digit grouping, thousands separator and decimal
 * point; a currency amount with its symbol, sign texts and positions and monetary
 * separators. Digits, signs and spaces are in the encoding family of the code set
 * (ASCII or EBCDIC). Returns the units written (characters for the base and Ex forms
 * under PL_COUNT_CHARS), the NUL counted under PL_TERMINATE; 0 with
 * PL_ERR_BUFFER_TOO_SMALL for size 0; the leading whole characters with
 * PL_ERR_BUFFER_TOO_SMALL when not all fit; -1 with PL_ERR_ARGUMENT for another flag.
 * The Ex forms start the output in `outState` (1: shifted, so a shift-in comes first).
 * Infinities and NaN come out as inf and nan in the locale's letters, after a minus for
 * negative infinity. Flags: PL_FROM_TERRITORY, PL_TERMINATE, PL_COUNT_CHARS, and
 * PL_NUM_UNSIGNED (long), PL_NUM_SIX_DECIMALS (double), PL_NUM_INTL (currency).
 */
PL_API int32_t PLLongToString(PLLocale *locale, int32_t value, char *out, int32_t outSize,
                              int32_t flags);
PL_API int32_t PLLongToStringEx(PLLocale *locale, int32_t value, char *out, PLState outState,
                                int32_t outSize, int32_t flags);
PL_API int32_t PLLongToStringU(PLLocale *locale, int32_t value, PLUChar *out, int32_t outSize,
                               int32_t flags);
PL_API int32_t PLLongToStringW(PLLocale *locale, int32_t value, PLWChar *out, int32_t outSize,
                               int32_t flags);
PL_API int32_t PLDoubleToString(PLLocale *locale, double value, char *out, int32_t outSize,
                                int32_t flags);
PL_API int32_t PLDoubleToStringEx(PLLocale *locale, double value, char *out, PLState outState,
                                  int32_t outSize, int32_t flags);
PL_API int32_t PLDoubleToStringU(PLLocale *locale, double value, PLUChar *out, int32_t outSize,
                                 int32_t flags);
PL_API int32_t PLDoubleToStringW(PLLocale *locale, double value, PLWChar *out, int32_t outSize,
                                 int32_t flags);
PL_API int32_t PLCurrencyToString(PLLocale *locale, double value, char *out, int32_t outSize,
                                  int32_t flags);
PL_API int32_t PLCurrencyToStringEx(PLLocale *locale, double value, char *out,
                                    PLState outState, int32_t outSize, int32_t flags);
PL_API int32_t PLCurrencyToStringU(PLLocale *locale, double value, PLUChar *out,
                                   int32_t outSize, int32_t flags);
PL_API int32_t PLCurrencyToStringW(PLLocale *locale, double value, PLWChar *out,
                                   int32_t outSize, int32_t flags);

/*
 * Reads a number written with the locale's conventions: white space, a sign, digits
 * with thousands separators between them, and for doubles a decimal point and an
 * exponent (e or d). `length` < 0 reads up to the NUL. *end (may be null) receives the
 * first unit not consumed, *endState the shift state there. Base 0 reads 0x as hex
 * and a leading 0 as octal. Overflow gives the extreme value, with no code. 0 with
 * PL_ERR_ARGUMENT for another flag, PL_ERR_BASE for a base outside 0 and 2..36.
 * Flags: PL_FROM_TERRITORY, PL_COUNT_CHARS (base and Ex: length in characters),
 * PL_NUM_MAP_DIGITS, PL_NUM_MONETARY, and PL_NUM_UNSIGNED, PL_NUM_NO_THOUSANDS (long).
 */
PL_API int32_t PLStringToLong(PLLocale *locale, const char *text, int32_t length, char **end,
                              int32_t base, int32_t flags);
PL_API int32_t PLStringToLongEx(PLLocale *locale, const char *text, PLState textState,
                                int32_t length, char **end, PLState *endState, int32_t base,
                                int32_t flags);
PL_API int32_t PLStringToLongU(PLLocale *locale, const PLUChar *text, int32_t length,
                               PLUChar **end, int32_t base, int32_t flags);
PL_API int32_t PLStringToLongW(PLLocale *locale, const PLWChar *text, int32_t length,
                               PLWChar **end, int32_t base, int32_t flags);
PL_API double PLStringToDouble(PLLocale *locale, const char *text, int32_t length, char **end,
                               int32_t flags);
PL_API double PLStringToDoubleEx(PLLocale *locale, const char *text, PLState textState,
                                 int32_t length, char **end, PLState *endState, int32_t flags);
PL_API double PLStringToDoubleU(PLLocale *locale, const PLUChar *text, int32_t length,
                                PLUChar **end, int32_t flags);
PL_API double PLStringToDoubleW(PLLocale *locale, const PLWChar *text, int32_t length,
                                PLWChar **end, int32_t flags);

/* ---- Formatted output ---------------------------------------------------- */

/*
 * A caller's source of printf arguments: each function receives `context` and returns
 * the next argument of its type. Which function a directive calls:
 *   getInt            d i without size; every * width or precision; unnamed positions
 *   getUnsignedInt    o u x X without size
 *   getShort, getUnsignedShort          the same with h
 *   getLong, getUnsignedLong            the same with l (32-bit)
 *   getInt64, getUnsignedInt64          the same with ll
 *   getDouble, getLongDouble            e E f g G, without and with L
 *   getChar           base, Ex: c;  W: C
 *   getWideChar       base, Ex: C;  W: c
 *   getUnicodeChar    U: c and C
 *   getString         base, Ex: s;  W: S
 *   getWideString     base, Ex: S;  W: s
 *   getUnicodeString  U: s and S
 *   getPointer        n p
 * A function the format needs that is null fails the call with PL_ERR_ARGUMENT.
 */
typedef struct PLArgSource {
  void *context;
  int32_t (*getInt)(void *context);
  uint32_t (*getUnsignedInt)(void *context);
  int16_t (*getShort)(void *context);
  uint16_t (*getUnsignedShort)(void *context);
  int32_t (*getLong)(void *context);
  uint32_t (*getUnsignedLong)(void *context);
  int64_t (*getInt64)(void *context);
  uint64_t (*getUnsignedInt64)(void *context);
  double (*getDouble)(void *context);
  long double (*getLongDouble)(void *context);
  char (*getChar)(void *context);
  PLWChar (*getWideChar)(void *context);
  PLUChar (*getUnicodeChar)(void *context);
  const char *(*getString)(void *context);
  const PLWChar *(*getWideString)(void *context);
  const PLUChar *(*getUnicodeString)(void *context);
  void *(*getPointer)(void *context);
} PLArgSource;

/*
 * printf-style output in the locale's encoding. Directives: %[n$][flags][width][.prec]
 * [size]conv with flags - + space # 0 and , (the locale's digit grouping for d i u f g
 * G); sizes h (16-bit), l (32-bit), ll (64-bit), L (long double, printed as a double);
 * conversions d i u o x X p c C s S e E f g G n, and %% for a percent sign. Positional
 * arguments name a position 1..9 (%2$d); then every directive must name one. Widths,
 * precisions and lengths count units of the output (bytes, 16-bit or 32-bit units).
 * Floating text: the locale's decimal point, exponents of at least three digits
 * (1.500000e+000), inf and nan in the locale's letters. %p writes the pointer as
 * upper-case hexadecimal with two digits per byte. In the base and Ex forms, C and S
 * take packed characters and c and s bytes; in the U forms all four take UTF-16; in the
 * W forms c and s take packed characters and C and S bytes.
 *
 * outSize < 0 is unlimited; formatLen < 0 reads the format up to its NUL. Returns the
 * units written (characters with PL_COUNT_CHARS in the base and Ex forms), also when
 * the output was cut short (PL_ERR_BUFFER_TOO_SMALL; a character is never split), or
 * -1: PL_ERR_ARGUMENT for another flag, PL_ERR_BUFFER_TOO_SMALL for outSize 0 or no
 * memory for the arguments, PL_ERR_FORMAT for an empty or inconsistent format. The
 * error field is only written on failure, and under PL_COUNT_CHARS. Flags:
 * PL_TERMINATE, PL_COUNT_CHARS, PL_FROM_TERRITORY (the territory's decimal point),
 * 0x10000 (accepted, no effect). The Ex forms start the output in outState and read
 * the format from formatState on a stateful code set.
 */
PL_API int32_t PLSprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                         int32_t formatLen, int32_t flags, ...);
PL_API int32_t PLVsprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                          int32_t formatLen, int32_t flags, va_list args);
PL_API int32_t PLSnprintf(PLLocale *locale, char *out, int32_t outSize, const char *format,
                          int32_t formatLen, int32_t flags, const PLArgSource *source);
PL_API int32_t PLSprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                           const char *format, PLState formatState, int32_t formatLen,
                           int32_t flags, ...);
PL_API int32_t PLVsprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                            const char *format, PLState formatState, int32_t formatLen,
                            int32_t flags, va_list args);
PL_API int32_t PLSnprintfEx(PLLocale *locale, char *out, PLState outState, int32_t outSize,
                            const char *format, PLState formatState, int32_t formatLen,
                            int32_t flags, const PLArgSource *source);
PL_API int32_t PLSprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                          const PLUChar *format, int32_t formatLen, int32_t flags, ...);
PL_API int32_t PLVsprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                           const PLUChar *format, int32_t formatLen, int32_t flags,
                           va_list args);
PL_API int32_t PLSnprintfU(PLLocale *locale, PLUChar *out, int32_t outSize,
                           const PLUChar *format, int32_t formatLen, int32_t flags,
                           const PLArgSource *source);
PL_API int32_t PLWsprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                          const PLWChar *format, int32_t formatLen, int32_t flags, ...);
PL_API int32_t PLWvsprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                           const PLWChar *format, int32_t formatLen, int32_t flags,
                           va_list args);
PL_API int32_t PLWsnprintf(PLLocale *locale, PLWChar *out, int32_t outSize,
                           const PLWChar *format, int32_t formatLen, int32_t flags,
                           const PLArgSource *source);

/* ---- Text streams ------------------------------------------------------ */

typedef struct PLStream PLStream;

/* Read streams: fill up to count bytes, return the number read, 0 at the end of the
 * data, -1 on error. Write streams: take up to count bytes, return the number taken
 * (0 is a valid answer: call again), -1 on error. */
typedef int32_t (*PLStreamCallback)(void *context, void *buffer, int32_t count);

/* Directions of PLOpenStream and PLOpenStreamEx. */
#define PL_STREAM_READ             ((int32_t)0x80000050)
#define PL_STREAM_WRITE            ((int32_t)0x80000051)

/* End-of-line kinds: the flags of PLGetEol, PLPutEol and PLReadString, and the kinds
 * PLGetEol reports. */
#define PL_EOL_LF                  0x100   /* line feed */
#define PL_EOL_CRLF                0x200   /* carriage return, line feed */
#define PL_EOL_LINE_SEP            0x400   /* the code set's line separator (U+2028 in U forms) */
#define PL_EOL_PARA_SEP            0x800   /* the paragraph separator (U+2029 in U forms) */
#define PL_EOL_DEFAULT             0x1000  /* the platform's: carriage return, line feed */
#define PL_EOL_ANY                 0xF00
#define PL_EOL_NONE                ((int32_t)0x80000030) /* PLGetEol: none in the text */
#define PL_EOL_BAD_FLAGS           ((int32_t)0x80000031) /* PLGetEol: flags refused */
/* PLReadString: keep one unit for a terminating NUL, written and counted. */
#define PL_READ_TERMINATE          8
/* PLReadString: consume the end of line that ends the string without storing it. */
#define PL_READ_STRIP_EOL          0x800000

/* Opens a stream over callback(context, ...) in the locale's code set. direction is
 * PL_STREAM_READ or PL_STREAM_WRITE (else PL_ERR_ARGUMENT); a read stream gets a read
 * buffer of bufferSize bytes (0 or less: 1024), PLOpenStream one of a single byte.
 * Null on failure (PL_ERR_NO_MEMORY). */
PL_API PLStream *PLOpenStreamEx(PLLocale *locale, PLStreamCallback callback, void *context,
                                int32_t bufferSize, int32_t direction);
PL_API PLStream *PLOpenStream(PLLocale *locale, PLStreamCallback callback, void *context,
                              int32_t direction);
/* Flushes a write stream, ends a shifted output with a shift-in byte, and releases the
 * stream. 1 when the handle's error field is 0 afterwards, else 0. */
PL_API int32_t PLCloseStream(PLStream *stream, PLLocale *locale);
/* Hands the bytes a write callback has not yet taken to it again (-1 discards them:
 * PL_ERR_STREAM_FLUSH, result 0) and empties the buffers. 1 on success. */
PL_API int32_t PLFlushStream(PLStream *stream, PLLocale *locale);

/* The next two bytes as a UTF-16 unit, low byte first, or 0xFFFF with a code
 * (PL_ERR_END_OF_STREAM at the end). */
PL_API PLUChar PLReadCharU(PLStream *stream, PLLocale *locale);
/* The next character of the code set as a packed character, or (PLWChar)-1 with a
 * code (code 0 at the end of the data). */
PL_API PLWChar PLReadCharW(PLStream *stream, PLLocale *locale);

/* Reads characters into buffer until size units are used or an end of line of a kind
 * in flags has been stored. Returns the units stored (characters with PL_COUNT_CHARS),
 * -1 at the end of the data with nothing read, -2 on error. Flags: PL_EOL_LF,
 * PL_EOL_CRLF, PL_EOL_LINE_SEP, PL_EOL_PARA_SEP, PL_READ_TERMINATE, PL_READ_STRIP_EOL,
 * PL_COUNT_CHARS. The Ex form writes the shift bytes of a stateful code set starting
 * from *state and leaves the final state there. */
PL_API int32_t PLReadString(PLStream *stream, PLLocale *locale, char *buffer, int32_t size,
                            int32_t flags);
PL_API int32_t PLReadStringEx(PLStream *stream, PLLocale *locale, char *buffer, PLState *state,
                              int32_t size, int32_t flags);
PL_API int32_t PLReadStringU(PLStream *stream, PLLocale *locale, PLUChar *buffer, int32_t size,
                             int32_t flags);
PL_API int32_t PLReadStringW(PLStream *stream, PLLocale *locale, PLWChar *buffer, int32_t size,
                             int32_t flags);

/* Pushes a character back in front of the unread bytes (at most 80 bytes held). 1, or
 * 0 with PL_ERR_BUFFER_TOO_SMALL or PL_ERR_STREAM_DIRECTION. The Ex form takes the
 * shift state the character belongs to; the U form pushes a unit as two raw bytes. */
PL_API int32_t PLUngetChar(PLStream *stream, PLLocale *locale, const char *c);
PL_API int32_t PLUngetCharEx(PLStream *stream, PLLocale *locale, const char *c, PLState state);
PL_API int32_t PLUngetCharU(PLStream *stream, PLLocale *locale, PLUChar c);
PL_API int32_t PLUngetCharW(PLStream *stream, PLLocale *locale, PLWChar c);

/* Writes one character. 1, or 0 with PL_ERR_STREAM_DIRECTION, PL_ERR_STREAM_WRITE (the
 * bytes not taken stay held and go out with the next write or flush) or
 * PL_ERR_BUFFER_TOO_SMALL (they did not fit in the 80 held bytes). The Ex form writes a
 * shift byte first when state differs from the output's; the U form writes the unit as
 * two raw bytes, low byte first. */
PL_API int32_t PLWriteChar(PLStream *stream, PLLocale *locale, const char *c);
PL_API int32_t PLWriteCharEx(PLStream *stream, PLLocale *locale, const char *c, PLState state);
PL_API int32_t PLWriteCharU(PLStream *stream, PLLocale *locale, PLUChar c);
PL_API int32_t PLWriteCharW(PLStream *stream, PLLocale *locale, PLWChar c);

/* ---- End of line ------------------------------------------------------- */

/* The first end of line of a kind in flags (0: PL_EOL_CRLF) within length units of
 * text (characters with PL_COUNT_CHARS), with its kind and length in units; null with
 * kind PL_EOL_NONE when there is none, or PL_EOL_BAD_FLAGS and PL_ERR_ARGUMENT for a
 * flag outside PL_EOL_ANY. The Ex form reads text from state and reports the state at
 * the end of line in *stateOut. */
PL_API char *PLGetEol(PLLocale *locale, const char *text, int32_t length, int32_t *kind,
                      int32_t *eolLength, int32_t flags);
PL_API char *PLGetEolEx(PLLocale *locale, const char *text, PLState state, int32_t length,
                        int32_t *kind, int32_t *eolLength, PLState *stateOut, int32_t flags);
PL_API PLUChar *PLGetEolU(PLLocale *locale, const PLUChar *text, int32_t length, int32_t *kind,
                          int32_t *eolLength, int32_t flags);
PL_API PLWChar *PLGetEolW(PLLocale *locale, const PLWChar *text, int32_t length, int32_t *kind,
                          int32_t *eolLength, int32_t flags);

/* Writes the ends of line in flags (0: PL_EOL_DEFAULT) into buffer: paragraph
 * separator, line separator, line feed, then carriage return and line feed (the U form:
 * line feed, U+2028, U+2029, then U+000D U+000A). Returns the position behind them, or
 * null with PL_ERR_ARGUMENT for a flag outside 0x1F00. The Ex form first ends a shifted
 * state (state 1) with a shift-in byte and reports the single-byte state. */
PL_API char *PLPutEol(PLLocale *locale, char *buffer, int32_t flags);
PL_API char *PLPutEolEx(PLLocale *locale, char *buffer, PLState state, PLState *stateOut,
                        int32_t flags);
PL_API PLUChar *PLPutEolU(PLLocale *locale, PLUChar *buffer, int32_t flags);
PL_API PLWChar *PLPutEolW(PLLocale *locale, PLWChar *buffer, int32_t flags);

/* ---- Date and time ----------------------------------------------------- */

/*
 * strftime in the locale's encoding, with its names (PL_DAY_NAME ...) and formats
 * (PL_TIME_FORMAT, PL_DATE_FORMAT, PL_LONG_DATE_FORMAT). Directives %[#][E|O]c with c
 * one of % a A b B c C d D e H I j k l m M n p r R S t T u U V w W x X y Y z Z; # drops
 * leading zeros and selects the long date format for %c and %x. Every field a
 * directive uses is range-checked (PL_ERR_NOT_FOUND, -1); an unknown or cut-off
 * directive gives PL_ERR_FORMAT and -1. Returns the units written (with the terminator
 * under PL_TERMINATE); a full output stores PL_ERR_BUFFER_TOO_SMALL and still returns
 * the count. Flags: 1 (passed to the text lookups), PL_TERMINATE, the end-of-line
 * kinds for %n, PL_COUNT_CHARS (base and Ex forms: sizes and result in characters, at
 * most 512 bytes of output). formatLen < 0 reads the format up to its NUL.
 */
PL_API int32_t PLTimeToString(PLLocale *locale, const struct tm *time, char *out, int32_t outSize,
                              const char *format, int32_t formatLen, int32_t flags);
PL_API int32_t PLTimeToStringEx(PLLocale *locale, const struct tm *time, char *out,
                                PLState outState, int32_t outSize, const char *format,
                                PLState formatState, int32_t formatLen, int32_t flags);
PL_API int32_t PLTimeToStringU(PLLocale *locale, const struct tm *time, PLUChar *out,
                               int32_t outSize, const PLUChar *format, int32_t formatLen,
                               int32_t flags);
PL_API int32_t PLTimeToStringW(PLLocale *locale, const struct tm *time, PLWChar *out,
                               int32_t outSize, const PLWChar *format, int32_t formatLen,
                               int32_t flags);

/* PLStringToTime flags beside 1, the end-of-line kinds (%n) and PL_COUNT_CHARS. */
#define PL_TIME_CENTURY_1900       0x8000     /* %y is always 1900 + yy */
#define PL_TIME_CHECK_DAY          0x1000000  /* the day of month must exist in its month */

/*
 * strptime in the locale's encoding: reads input under format into *time (cleared
 * first, tm_isdst -1), applies %p, a named zone (%z, %Z: the zone's offset against the
 * process's local zone) and normalizes with mktime. Returns the input units consumed
 * (characters with PL_COUNT_CHARS), or -1: PL_ERR_NOT_FOUND for text that does not
 * match, PL_ERR_FORMAT for a directive it does not read, PL_ERR_ARGUMENT for a flag.
 * A negative length means NUL-terminated.
 */
PL_API int32_t PLStringToTime(PLLocale *locale, struct tm *time, const char *input,
                              int32_t inputLen, const char *format, int32_t formatLen,
                              int32_t flags);
PL_API int32_t PLStringToTimeEx(PLLocale *locale, struct tm *time, const char *input,
                                PLState inputState, int32_t inputLen, const char *format,
                                PLState formatState, int32_t formatLen, int32_t flags);
PL_API int32_t PLStringToTimeU(PLLocale *locale, struct tm *time, const PLUChar *input,
                               int32_t inputLen, const PLUChar *format, int32_t formatLen,
                               int32_t flags);
PL_API int32_t PLStringToTimeW(PLLocale *locale, struct tm *time, const PLWChar *input,
                               int32_t inputLen, const PLWChar *format, int32_t formatLen,
                               int32_t flags);

/* ---- Regular expressions ----------------------------------------------- */

/*
 * A compiled POSIX regular expression. The four members are its public header; the
 * program they point to is the library's. Compile with PLRegcomp (or its forms), search
 * with PLRegexec, read ranges with PLRegrange, release with PLRegfree. One search at a
 * time per compiled expression: the ranges of the last match live inside it.
 */
typedef struct PLRegex {
  uint32_t magic;    /* 62053 while valid, 0 once released */
  uint32_t nsub;     /* parenthesized subexpressions */
  uint32_t reserved;
  void *program;
} PLRegex;

/* PLRegcomp flags beside PL_COUNT_CHARS (lengths in characters: base and Ex forms). */
#define PL_REG_EXTENDED            0x020000  /* extended syntax; basic without it */
#define PL_REG_LITERAL             0x040000  /* the whole pattern is a literal string */
#define PL_REG_ICASE               0x080000  /* ignore case */
#define PL_REG_NOSUB               0x100000  /* report success only, no ranges */
#define PL_REG_NEWLINE             0x200000  /* . and [^...] skip newline; ^ $ at lines */

/*
 * Compiles a basic (default), extended or literal pattern, converted to UTF-16 first.
 * Classes, case and equivalence classes come from the handle's locale; ranges in the
 * base, Ex and W forms follow the locale's code order, in the U form UTF-16 order.
 * patternLen < 0: up to the NUL. Null on failure, with the code in the handle.
 */
PL_API PLRegex *PLRegcomp(PLLocale *locale, const char *pattern, int32_t patternLen,
                          int32_t flags);
PL_API PLRegex *PLRegcompEx(PLLocale *locale, const char *pattern, PLState state,
                            int32_t patternLen, int32_t flags);
PL_API PLRegex *PLRegcompU(PLLocale *locale, const PLUChar *pattern, int32_t patternLen,
                           int32_t flags);
PL_API PLRegex *PLRegcompW(PLLocale *locale, const PLWChar *pattern, int32_t patternLen,
                           int32_t flags);

/*
 * Searches string for the leftmost-longest match: 1 found, 0 none, -1 error. base is
 * the start of the text string belongs to; when it lies before string, ^ does not
 * match at string's start. length < 0: up to the NUL. Flags: PL_COUNT_CHARS only.
 */
PL_API int32_t PLRegexec(PLLocale *locale, PLRegex *re, const char *string, int32_t length,
                         const char *base, int32_t flags);
PL_API int32_t PLRegexecEx(PLLocale *locale, PLRegex *re, const char *string, PLState state,
                           int32_t length, const char *base, int32_t flags);
PL_API int32_t PLRegexecU(PLLocale *locale, PLRegex *re, const PLUChar *string, int32_t length,
                          const PLUChar *base, int32_t flags);
PL_API int32_t PLRegexecW(PLLocale *locale, PLRegex *re, const PLWChar *string, int32_t length,
                          const PLWChar *base, int32_t flags);

/* Compiles pattern with the PLRegcomp flags, searches string once and releases the
 * expression: 1, 0 or -1. */
PL_API int32_t PLRegmatch(PLLocale *locale, const char *string, int32_t length,
                          const char *pattern, int32_t patternLen, int32_t flags);
PL_API int32_t PLRegmatchEx(PLLocale *locale, const char *string, PLState state, int32_t length,
                            const char *pattern, PLState patternState, int32_t patternLen,
                            int32_t flags);
PL_API int32_t PLRegmatchU(PLLocale *locale, const PLUChar *string, int32_t length,
                           const PLUChar *pattern, int32_t patternLen, int32_t flags);
PL_API int32_t PLRegmatchW(PLLocale *locale, const PLWChar *string, int32_t length,
                           const PLWChar *pattern, int32_t patternLen, int32_t flags);

/*
 * The range of subexpression index (0: the whole match) of the last successful search,
 * as pointers into the searched string; both null when there is none. Returns 0.
 * PLRegrangeEx also reports the shift state at each end.
 */
PL_API int32_t PLRegrange(PLRegex *re, int32_t index, const char **start, const char **end);
PL_API int32_t PLRegrangeEx(PLRegex *re, int32_t index, const char **start, PLState *startState,
                            const char **end, PLState *endState);
PL_API int32_t PLRegrangeU(PLRegex *re, int32_t index, const PLUChar **start,
                           const PLUChar **end);
PL_API int32_t PLRegrangeW(PLRegex *re, int32_t index, const PLWChar **start,
                           const PLWChar **end);

/*
 * The English message of a code (0, 2, 20, 40, 1 and 80 to 91) in the locale's encoding:
 * returns its length with the terminator, cut to bufferSize (PL_ERR_BUFFER_TOO_SMALL),
 * or 0 for an unknown code or flag. Flags: 0 or PL_COUNT_CHARS.
 */
PL_API int32_t PLRegerror(PLLocale *locale, int32_t code, char *buffer, int32_t bufferSize,
                          int32_t flags);
PL_API int32_t PLRegerrorEx(PLLocale *locale, int32_t code, char *buffer, PLState state,
                            int32_t bufferSize, int32_t flags);
PL_API int32_t PLRegerrorU(PLLocale *locale, int32_t code, PLUChar *buffer, int32_t bufferSize,
                           int32_t flags);
PL_API int32_t PLRegerrorW(PLLocale *locale, int32_t code, PLWChar *buffer, int32_t bufferSize,
                           int32_t flags);

/* Releases a compiled expression: 0, or 1 when re is not one (or a release failed). */
PL_API int32_t PLRegfree(PLLocale *locale, PLRegex *re);

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
