// Formats random values and parses random text with the number functions in every
// form, over locales whose items the input may rewrite first (separators, grouping
// texts, sign texts, currency symbols, digit counts, sign positions). The library must
// never crash, never write past the size it is given, report a cut output with code 40
// and a result within the size, and leave every end pointer inside the text.
//
// Input: a byte choosing the locale, one the flags, one the form, one the operation,
// one the output size, then (for the item operation) item rewrites, else the value's
// or the text's bytes (pairs of them as UTF-16 units, groups of four as packed
// characters).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "fuzz_library.h"
#include "polyloc.h"

namespace {

constexpr const char *kLocales[] = {
    "English_UnitedStates.MS1252", "German_Germany.UTF-8", "English_India.UTF-8",
    "English_UnitedStates.IBM037", "Japanese_Japan.IBM930", "Japanese_Japan.MS932",
    "French_France.UTF-8",
};


constexpr int32_t kFlags[] = {0,
                              PL_TERMINATE,
                              PL_COUNT_CHARS,
                              PL_TERMINATE | PL_COUNT_CHARS,
                              PL_NUM_UNSIGNED,
                              PL_NUM_INTL | PL_TERMINATE,
                              PL_NUM_SIX_DECIMALS,
                              PL_FROM_TERRITORY,
                              PL_NUM_MAP_DIGITS,
                              PL_NUM_MONETARY,
                              PL_NUM_MAP_DIGITS | PL_NUM_MONETARY | PL_COUNT_CHARS,
                              PL_NUM_NO_THOUSANDS,
                              0x100,
                              -1};

constexpr PLLocaleItem kTextItems[] = {PL_DECIMAL_POINT,   PL_THOUSANDS_SEP,    PL_GROUPING,
                                       PL_CURRENCY_SYMBOL, PL_MON_DECIMAL_POINT, PL_MON_THOUSANDS_SEP,
                                       PL_MON_GROUPING,    PL_POSITIVE_SIGN,    PL_NEGATIVE_SIGN};
constexpr PLLocaleItem kNumericItems[] = {PL_NUM_DIGITS,    PL_FRAC_DIGITS,    PL_INT_FRAC_DIGITS,
                                          PL_P_CS_PRECEDES, PL_P_SEP_BY_SPACE, PL_N_CS_PRECEDES,
                                          PL_N_SEP_BY_SPACE, PL_P_SIGN_POSN,   PL_N_SIGN_POSN};

enum Form { kBase, kEx, kUnits, kPacked, kFormCount };
enum Operation { kLong, kDouble, kCurrency, kParseLong, kParseDouble, kOperationCount };

// Rewrites items from the input: each rewrite is a byte choosing the item, a byte
// giving a length, and that many bytes of text (a numeric item takes a value byte).
void rewrite_items(PLLocale *l, const uint8_t *data, size_t size) {
  for (size_t at = 0; at + 2 <= size;) {
    uint8_t which = data[at], n = data[at + 1];
    at += 2;
    if (which & 0x80) {
      PLSetLocaleNumInfo(l, kNumericItems[which % std::size(kNumericItems)], n % 12, 0);
      continue;
    }
    size_t take = n % 8 < size - at ? n % 8 : size - at;
    PLSetLocaleTextInfo(l, kTextItems[which % std::size(kTextItems)],
                        reinterpret_cast<const char *>(data + at), static_cast<int32_t>(take), 0);
    at += take;
  }
}

template <class T>
T value_of(const uint8_t *data, size_t size) {
  T v{};
  std::memcpy(&v, data, size < sizeof v ? size : sizeof v);
  return v;
}

// Runs one formatter into a buffer of exactly `size` elements, so that the sanitizer
// sees any write past it, and checks the result against the size. A currency amount
// in bytes under PL_COUNT_CHARS is given `size` characters: the buffer then holds the
// longest such characters, six bytes each.
template <class Element, class Call>
void format(PLLocale *l, int32_t size, int32_t flags, bool size_in_chars, Call call) {
  std::vector<Element> out(static_cast<size_t>(size_in_chars ? size * 6 : size));
  int32_t n = call(out.data(), size);
  int32_t code = PLGetError(l);
  if (n == -1) {
    if (code != PL_ERR_ARGUMENT) std::abort();
    return;
  }
  if (n < 0 || code == PL_ERR_ARGUMENT) std::abort();
  // Under PL_COUNT_CHARS the result counts characters, never more than the bytes.
  if (n > size) std::abort();
  if (size == 0 && (n != 0 || code != PL_ERR_BUFFER_TOO_SMALL)) std::abort();
  if ((flags & PL_TERMINATE) && code == PL_OK && n == 0) std::abort();
}

void format_number(PLLocale *l, Form form, Operation op, int32_t size, int32_t flags,
                   const uint8_t *data, size_t n) {
  int32_t i = value_of<int32_t>(data, n);
  double d = value_of<double>(data, n);
  auto call = [&](auto *out, int32_t room) -> int32_t {
    using Out = std::remove_pointer_t<decltype(out)>;
    if constexpr (std::is_same_v<Out, char>) {
      PLState state = form == kEx ? (n > 0 ? data[0] & 1 : 0) : 0;
      switch (op) {
        case kLong:
          return form == kEx ? PLLongToStringEx(l, i, out, state, room, flags)
                             : PLLongToString(l, i, out, room, flags);
        case kDouble:
          return form == kEx ? PLDoubleToStringEx(l, d, out, state, room, flags)
                             : PLDoubleToString(l, d, out, room, flags);
        default:
          return form == kEx ? PLCurrencyToStringEx(l, d, out, state, room, flags)
                             : PLCurrencyToString(l, d, out, room, flags);
      }
    } else if constexpr (std::is_same_v<Out, PLUChar>) {
      return op == kLong ? PLLongToStringU(l, i, out, room, flags)
             : op == kDouble ? PLDoubleToStringU(l, d, out, room, flags)
                             : PLCurrencyToStringU(l, d, out, room, flags);
    } else {
      return op == kLong ? PLLongToStringW(l, i, out, room, flags)
             : op == kDouble ? PLDoubleToStringW(l, d, out, room, flags)
                             : PLCurrencyToStringW(l, d, out, room, flags);
    }
  };
  bool size_in_chars = op == kCurrency && (flags & PL_COUNT_CHARS) != 0;
  switch (form) {
    case kUnits: format<PLUChar>(l, size, flags, false, call); break;
    case kPacked: format<PLWChar>(l, size, flags, false, call); break;
    default: format<char>(l, size, flags, size_in_chars, call); break;
  }
}

// Parses the text in the form's units, with its length or (odd first byte) as a
// NUL-terminated string; *end must stay inside the text. Bytes end in a double-byte
// terminator: a length in characters may reach up to it, also in shifted text.
template <class Element, class Parse>
void parse(const std::vector<Element> &text, bool measured, Parse run) {
  std::vector<Element> copy(text);
  copy.push_back(0);
  if (sizeof(Element) == 1) copy.push_back(0);
  int32_t length = measured ? -1 : static_cast<int32_t>(text.size());
  size_t extent = text.size();
  if (measured)
    for (size_t k = 0; k < text.size(); ++k)
      if (text[k] == 0) {
        extent = k;
        break;
      }
  Element *end = nullptr;
  run(copy.data(), length, &end);
  if (end == nullptr || end < copy.data() || end > copy.data() + extent) std::abort();
}

void parse_number(PLLocale *l, Form form, Operation op, int32_t flags, int32_t base,
                  const uint8_t *data, size_t n) {
  bool measured = n > 0 && (data[0] & 1);
  PLState state = n > 0 ? (data[0] >> 1) & 1 : 0;
  if (form == kBase || form == kEx) {
    std::vector<char> text(data, data + n);
    parse(text, measured, [&](char *t, int32_t length, char **end) {
      PLState end_state = 0;
      if (op == kParseLong)
        form == kEx ? PLStringToLongEx(l, t, state, length, end, &end_state, base, flags)
                    : PLStringToLong(l, t, length, end, base, flags);
      else
        form == kEx ? PLStringToDoubleEx(l, t, state, length, end, &end_state, flags)
                    : PLStringToDouble(l, t, length, end, flags);
      if (end_state > 1) std::abort();
    });
  } else if (form == kUnits) {
    std::vector<PLUChar> text;
    for (size_t k = 0; k + 1 < n; k += 2) text.push_back(static_cast<PLUChar>(data[k] << 8 | data[k + 1]));
    parse(text, measured, [&](PLUChar *t, int32_t length, PLUChar **end) {
      op == kParseLong ? PLStringToLongU(l, t, length, end, base, flags)
                       : PLStringToDoubleU(l, t, length, end, flags);
    });
  } else {
    std::vector<PLWChar> text;
    for (size_t k = 0; k + 3 < n; k += 4) text.push_back(value_of<PLWChar>(data + k, 4));
    parse(text, measured, [&](PLWChar *t, int32_t length, PLWChar **end) {
      op == kParseLong ? PLStringToLongW(l, t, length, end, base, flags)
                       : PLStringToDoubleW(l, t, length, end, flags);
    });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const FuzzLibrary library;
  if (size < 6) return 0;
  PLLocale *l = PLGetLocale(kLocales[data[0] % std::size(kLocales)], 0, nullptr);
  if (l == nullptr) std::abort();
  int32_t flags = kFlags[data[1] % std::size(kFlags)];
  Form form = static_cast<Form>(data[2] % kFormCount);
  Operation op = static_cast<Operation>(data[3] % kOperationCount);
  int32_t room = data[4] % 64;
  // Bit 7 of the operation byte: the payload starts with item rewrites, up to the
  // length its first byte gives.
  const uint8_t *payload = data + 5;
  size_t rest = size - 5;
  if (data[3] & 0x80) {
    size_t items = payload[0] < rest - 1 ? payload[0] : rest - 1;
    rewrite_items(l, payload + 1, items);
    payload += 1 + items;
    rest -= 1 + items;
  }
  if (op <= kCurrency)
    format_number(l, form, op, room, flags, payload, rest);
  else
    parse_number(l, form, op, flags, data[4] % 40 - 1, payload, rest);
  PLReleaseLocale(l);
  return 0;
}
