// PLRegerror and its Ex, U and W forms: the English message of a result code in the
// caller's encoding, cut to the caller's buffer.
#include <cstring>

#include "charset/charset_view.h"
#include "charset/conversion/string_conversions.h"
#include "frame/handle.h"
#include "frame/process.h"
#include "locale/info_numeric.h"
#include "locale/locale_handle.h"

namespace pl::regex {
namespace {

struct Message {
  int32_t code;
  const char *text;  // ASCII
};

constexpr Message kMessages[] = {
    {PL_OK, "No error"},
    {1, "Regular expression error"},  // the compiled program is inconsistent
    {PL_ERR_ARGUMENT, "Invalid option specified"},
    {PL_ERR_NO_MEMORY, "Memory allocation error"},
    {PL_ERR_BUFFER_TOO_SMALL, "Output buffer not large enough to contain entire string (not fatal)"},
    {PL_ERR_REGEX_INVALID, "Invalid regular expression"},
    {PL_ERR_REGEX_COLLATE, "Invalid collating element"},
    {PL_ERR_REGEX_CLASS, "Invalid character class"},
    {PL_ERR_REGEX_ESCAPE, "\\ applied to unescapable character"},
    {PL_ERR_REGEX_BACKREF, "Invalid backreference number"},
    {PL_ERR_REGEX_BRACKET, "Brackets [ ] not balanced"},
    {PL_ERR_REGEX_PAREN, "Parentheses ( ) not balanced"},
    {PL_ERR_REGEX_BRACE, "Braces { } not balanced"},
    {PL_ERR_REGEX_COUNT, "Invalid repetition count(s) in { }"},
    {PL_ERR_REGEX_RANGE, "Invalid character range in [ ]"},
    {PL_ERR_REGEX_REPEAT, "?, *, or + operand invalid"},
    {PL_ERR_REGEX_EMPTY, "Empty (sub)expression"},
};

// Room for a message in any encoding, terminator included.
constexpr int32_t kRoom = 1024;

constexpr int32_t kStateShifted = 1;

// Binds the handle and checks the call: the message of `code`, or null with code 2
// stored (or null without a handle).
const char *message_for(PLLocale *locale, int32_t code, const void *buffer, int32_t size,
                        int32_t flags, PLLocale **handle) {
  *handle = bound_handle(locale);
  if (*handle == nullptr) return nullptr;
  if ((flags & ~kCountChars) == 0 && size >= 0 && (buffer != nullptr || size == 0))
    for (const Message &m : kMessages)
      if (m.code == code) return m.text;
  (*handle)->last_error = PL_ERR_ARGUMENT;
  return nullptr;
}

int32_t length_of(const char *text) { return static_cast<int32_t>(std::strlen(text)); }

// The messages' own locale: the one the empty name selects, switched to code set 1
// (US-ASCII), released on destruction. When it cannot be had, get() is null and the
// reason is stored in `caller`.
class MessageLocale {
 public:
  explicit MessageLocale(PLLocale *caller) {
    Code code = PL_ERR_INIT;
    if (Environment *env = current_environment()) locale_ = create_locale(env, "", 0, 0, &code);
    if (locale_ != nullptr && set_numeric_item(locale_, PL_CODESET_ID, 1) != 1) {
      code = locale_->last_error;
      release_locale(locale_);
      locale_ = nullptr;
    }
    if (locale_ == nullptr) caller->last_error = code;
  }
  ~MessageLocale() {
    if (locale_ != nullptr) release_locale(locale_);
  }
  MessageLocale(const MessageLocale &) = delete;
  MessageLocale &operator=(const MessageLocale &) = delete;

  PLLocale *get() const { return locale_; }

 private:
  PLLocale *locale_ = nullptr;
};

// `text` in the handle's code set into `out` (kRoom bytes), starting in `state`: its
// length with the terminator, or 0 with the code stored.
int32_t to_locale_bytes(PLLocale *handle, const char *text, PLState state, char *out) {
  if (CharsetView(*handle->codeset).ascii_based() && state != kStateShifted) {
    int32_t length = length_of(text) + 1;
    std::memcpy(out, text, static_cast<size_t>(length));
    return length;
  }
  MessageLocale ascii(handle);
  if (ascii.get() == nullptr) return 0;
  int32_t n = convert_string(handle, out, state, kRoom, ascii.get(), text, 0, length_of(text),
                             kTerminate, Path::fast);
  return n > 0 ? n : 0;
}

// Copies the `length` units of `text` (terminator included) to the caller's buffer of
// `size` units; a longer text is cut to size - 1 units and a terminator, with code 40,
// and a buffer smaller than `least` receives nothing. The full length either way.
template <class Unit>
int32_t deliver(PLLocale *handle, const Unit *text, int32_t length, Unit *buffer, int32_t size,
                int32_t least) {
  if (length <= size) {
    std::memcpy(buffer, text, sizeof(Unit) * static_cast<size_t>(length));
    return length;
  }
  handle->last_error = PL_ERR_BUFFER_TOO_SMALL;
  if (size >= least) {
    std::memcpy(buffer, text, sizeof(Unit) * static_cast<size_t>(size - 1));
    buffer[size - 1] = 0;
  }
  return length;
}

// One form: checks the call, has `make`(handle, message, text) write the message into
// kRoom units (its length with the terminator, or 0 with the code stored) and delivers it.
template <class Unit, class Make>
int32_t regerror(PLLocale *locale, int32_t code, Unit *buffer, int32_t size, int32_t flags,
                 Make make, int32_t least = 1) {
  PLLocale *handle;
  const char *message = message_for(locale, code, buffer, size, flags, &handle);
  if (message == nullptr) return 0;
  Unit text[kRoom];
  int32_t length = make(handle, message, text);
  return length > 0 ? deliver(handle, text, length, buffer, size, least) : 0;
}

}  // namespace
}  // namespace pl::regex

extern "C" {

PL_API int32_t PLRegerror(PLLocale *locale, int32_t code, char *buffer, int32_t bufferSize,
                          int32_t flags) {
  using namespace pl::regex;
  return regerror(locale, code, buffer, bufferSize, flags,
                  [](PLLocale *handle, const char *message, char *text) {
                    return to_locale_bytes(handle, message, 0, text);
                  });
}

// In a stateful set, an output that starts in the double-byte state begins with the
// shift-in byte, which counts; anything else is the base form.
PL_API int32_t PLRegerrorEx(PLLocale *locale, int32_t code, char *buffer, PLState state,
                            int32_t bufferSize, int32_t flags) {
  using namespace pl::regex;
  const PLLocale *peek = pl::resolve(locale);
  if (pl::is_unbound(peek) || (peek->flags & pl::kHandleStateful) == 0 || state != kStateShifted)
    return PLRegerror(locale, code, buffer, bufferSize, flags);
  return regerror(
      locale, code, buffer, bufferSize, flags,
      [](PLLocale *handle, const char *message, char *text) {
        return to_locale_bytes(handle, message, kStateShifted, text);
      },
      2);
}

PL_API int32_t PLRegerrorU(PLLocale *locale, int32_t code, PLUChar *buffer, int32_t bufferSize,
                           int32_t flags) {
  using namespace pl::regex;
  return regerror(locale, code, buffer, bufferSize, flags,
                  [](PLLocale *handle, const char *message, PLUChar *text) {
                    MessageLocale ascii(handle);
                    if (ascii.get() == nullptr) return 0;
                    int32_t n = pl::string_to_unicode(ascii.get(), text, kRoom, message, 0,
                                                      length_of(message), pl::kTerminate,
                                                      pl::Path::fast);
                    if (n > 0) return n;
                    handle->last_error = ascii.get()->last_error;
                    return 0;
                  });
}

PL_API int32_t PLRegerrorW(PLLocale *locale, int32_t code, PLWChar *buffer, int32_t bufferSize,
                           int32_t flags) {
  using namespace pl::regex;
  return regerror(locale, code, buffer, bufferSize, flags,
                  [](PLLocale *handle, const char *message, PLWChar *text) {
                    char bytes[kRoom];
                    int32_t length = to_locale_bytes(handle, message, 0, bytes);
                    if (length == 0) return 0;
                    int32_t n = pl::mb_to_wide(handle, text, kRoom, bytes, 0, length - 1,
                                               pl::kTerminate, pl::Path::fast);
                    return n > 0 ? n : 0;
                  });
}

}  // extern "C"
