// Collates two arbitrary texts and builds their sort keys in every form, with a
// collation of the built locale directory (or none), under accepted and rejected
// flags. The library must never crash; rejected flags give code 2; a too-small key
// buffer reports the key's full length and is not written past its end; collation
// orders a pair as its keys do (the keys being the text itself in the Binary
// collation, there compared only without width folding, which keys apply and
// collation does not).
//
// Input: a byte choosing the collation, one the flags, one the form, one where the
// first text ends, then the texts' bytes (pairs of them as UTF-16 units, groups of
// four as packed characters).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "polyloc.h"

namespace {

struct Handles {
  PLLocale *utf8;
  PLLocale *ibm930;
  bool binary;
};

// Every collation of the directory and none, in a UTF-8 and a stateful code set;
// released at exit so that the leak check sees every block come back.
class Library {
 public:
  Library() {
    if (PLInit(POLYLOC_LOCALE_DIR, nullptr, nullptr, nullptr, 0) != PL_OK) std::abort();
    std::vector<std::string> names;
    PLEnumLocales(
        [](void *user, int32_t kind, const char *name) {
          if (kind == PL_KIND_COLLATION) static_cast<std::vector<std::string> *>(user)->push_back(name);
          return 1;
        },
        &names);
    names.push_back("Binary");
    for (const std::string &name : names) {
      PLLocale *utf8 = PLGetLocale(("English_UnitedStates.UTF-8@" + name).c_str(), 0, nullptr);
      PLLocale *ibm930 = PLGetLocale(("Japanese_Japan.IBM930@" + name).c_str(), 0, nullptr);
      if (utf8 == nullptr || ibm930 == nullptr) std::abort();
      handles.push_back({utf8, ibm930, PLGetLocaleNumInfo(utf8, PL_MODIFIER_ID, 0) == 0});
    }
  }
  ~Library() {
    for (const Handles &h : handles) {
      PLReleaseLocale(h.utf8);
      PLReleaseLocale(h.ibm930);
    }
    PLTerm();
  }

  std::vector<Handles> handles;
};

constexpr int32_t F = PL_IGNORE_CASE, W = PL_IGNORE_WIDTH, CC = PL_COUNT_CHARS;
constexpr int32_t kFlags[] = {0, F, W, CC, F | CC, W | CC, PL_IGNORE_CASE_SIMPLE, 0x40, 1, INT32_MIN, -1};

constexpr size_t kTerminator = 2;

enum Form { kBase, kEx, kUnits, kPacked, kFormCount };

struct Text {
  std::vector<uint8_t> bytes;
  std::vector<PLUChar> units;
  std::vector<PLWChar> packed;
  PLState state;
};

Text text_of(const uint8_t *data, size_t size) {
  Text t{std::vector<uint8_t>(data, data + size), {}, {}, 0};
  // Empty texts too are given by a pointer: a null one is an argument error. The bytes
  // end in a terminator outside their length (a double-byte one in shifted text): a
  // character count (PL_COUNT_CHARS, given as the number of bytes) may reach past the
  // last whole character up to it.
  t.bytes.insert(t.bytes.end(), kTerminator, 0);
  t.units.reserve(1);
  t.packed.reserve(1);
  for (size_t i = 0; i + 1 < size; i += 2) t.units.push_back(static_cast<PLUChar>(data[i] << 8 | data[i + 1]));
  for (size_t i = 0; i + 3 < size; i += 4) {
    uint32_t v;
    std::memcpy(&v, data + i, 4);
    t.packed.push_back(v);
  }
  t.state = size > 0 ? data[0] & 1 : 0;
  return t;
}

int32_t length(const auto &v) { return static_cast<int32_t>(v.size()); }
int32_t byte_length(const Text &t) { return length(t.bytes) - kTerminator; }
const char *chars(const Text &t) { return reinterpret_cast<const char *>(t.bytes.data()); }

int32_t collate(PLLocale *l, Form form, const Text &a, const Text &b, int32_t flags) {
  switch (form) {
    case kBase: return PLStrcoll(l, chars(a), byte_length(a), chars(b), byte_length(b), flags);
    case kEx:
      return PLStrcollEx(l, chars(a), a.state, byte_length(a), chars(b), b.state, byte_length(b), flags);
    case kUnits: return PLStrcollU(l, a.units.data(), length(a.units), b.units.data(), length(b.units), flags);
    default: return PLWcscoll(l, a.packed.data(), length(a.packed), b.packed.data(), length(b.packed), flags);
  }
}

int32_t key(PLLocale *l, Form form, const Text &t, int32_t flags, uint8_t *dst, int32_t size) {
  char *out = reinterpret_cast<char *>(dst);
  switch (form) {
    case kBase: return PLStrxfrm(l, out, size, chars(t), byte_length(t), flags);
    case kEx: return PLStrxfrmEx(l, out, size, chars(t), t.state, byte_length(t), flags);
    case kUnits: return PLStrxfrmU(l, out, size, t.units.data(), length(t.units), flags);
    default: return PLWcsxfrm(l, out, size, t.packed.data(), length(t.packed), flags);
  }
}

// The key, checked against a buffer one byte short: same length, nothing written
// past the buffer.
std::vector<uint8_t> checked_key(PLLocale *l, Form form, const Text &t, int32_t flags) {
  uint8_t probe = 0;
  int32_t n = key(l, form, t, flags, &probe, 1);
  if (n < 0) std::abort();
  std::vector<uint8_t> short_buffer(static_cast<size_t>(n) + 8, 0xA5);
  if (n > 1) {
    if (key(l, form, t, flags, short_buffer.data(), n - 1) != n) std::abort();
    for (size_t i = static_cast<size_t>(n - 1); i < short_buffer.size(); ++i)
      if (short_buffer[i] != 0xA5) std::abort();
  }
  std::vector<uint8_t> out(static_cast<size_t>(n));
  if (key(l, form, t, flags, out.data(), n) != n) std::abort();
  return out;
}

int sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

int compare(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b) {
  size_t common = std::min(a.size(), b.size());
  int c = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  return c != 0 ? sign(c) : sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const Library library;
  const std::vector<Handles> &handles = library.handles;
  if (size < 4) return 0;
  const Handles &h = handles[data[0] % handles.size()];
  int32_t flags = kFlags[data[1] % std::size(kFlags)];
  Form form = static_cast<Form>(data[2] % kFormCount);
  PLLocale *l = form == kEx ? h.ibm930 : h.utf8;
  size_t split = std::min<size_t>(data[3], size - 4);
  Text a = text_of(data + 4, split), b = text_of(data + 4 + split, size - 4 - split);

  int32_t collated = collate(l, form, a, b, flags);
  int32_t rest = flags & ~CC;
  if (rest != 0 && rest != F && rest != W) {
    if (collated != 0 || PLGetError(l) != PL_ERR_ARGUMENT) std::abort();
    uint8_t dst[4];
    if (key(l, form, a, flags, dst, 4) != -1 || PLGetError(l) != PL_ERR_ARGUMENT) std::abort();
    return 0;
  }
  if (PLGetError(l) != PL_OK) std::abort();
  std::vector<uint8_t> ka = checked_key(l, form, a, flags), kb = checked_key(l, form, b, flags);
  // A Binary key is the text itself: code-set bytes, shift bytes and broken characters
  // included, but three zero bytes for a length of 0. Only non-empty UTF-16 and packed
  // texts order as they compare.
  bool unit_form = form == kUnits || form == kPacked;
  if (h.binary && (!unit_form || rest == W || ka.empty() || kb.empty() || a.units.empty() || b.units.empty()))
    return 0;
  if (sign(collated) != compare(ka, kb)) std::abort();
  return 0;
}
