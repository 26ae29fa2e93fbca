#include "collation/collation_forms.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "collation/synthetic_collation.h"

namespace pltest {
namespace {

const PLUChar *units(const std::u16string &s) { return reinterpret_cast<const PLUChar *>(s.data()); }
int32_t size_of(const auto &s) { return static_cast<int32_t>(s.size()); }

}  // namespace

std::vector<PLWChar> packed(PLLocale *locale, const std::u16string &text) {
  std::string bytes = utf8(text);
  std::vector<PLWChar> out(bytes.size() + 1);
  int32_t n = PLMbToWide(locale, out.data(), size_of(out), bytes.data(), size_of(bytes), 0);
  out.resize(static_cast<size_t>(std::max(n, 0)));
  return out;
}

int32_t collate(PLLocale *locale, Form form, const std::u16string &a, const std::u16string &b,
                int32_t flags) {
  switch (form) {
    case Form::base: {
      std::string x = utf8(a), y = utf8(b);
      return PLStrcoll(locale, x.data(), size_of(x), y.data(), size_of(y), flags);
    }
    case Form::units: return PLStrcollU(locale, units(a), size_of(a), units(b), size_of(b), flags);
    case Form::packed: {
      std::vector<PLWChar> x = packed(locale, a), y = packed(locale, b);
      return PLWcscoll(locale, x.data(), size_of(x), y.data(), size_of(y), flags);
    }
  }
  return 0;
}

Key sort_key(PLLocale *locale, Form form, const std::u16string &text, int32_t flags) {
  std::string bytes = utf8(text);
  std::vector<PLWChar> wide = form == Form::packed ? packed(locale, text) : std::vector<PLWChar>();
  auto call = [&](Key &dst) {
    char *out = reinterpret_cast<char *>(dst.data());
    switch (form) {
      case Form::base: return PLStrxfrm(locale, out, size_of(dst), bytes.data(), size_of(bytes), flags);
      case Form::units: return PLStrxfrmU(locale, out, size_of(dst), units(text), size_of(text), flags);
      case Form::packed: return PLWcsxfrm(locale, out, size_of(dst), wide.data(), size_of(wide), flags);
    }
    return -1;
  };
  Key key(1);  // not 0: an empty text's key has length 0 in a buffer of 0 bytes
  int32_t n = call(key);
  if (n < 0) return {};
  key.resize(static_cast<size_t>(n));
  if (call(key) != n) return {};
  return key;
}

int compare_keys(const Key &a, const Key &b) {
  size_t common = std::min(a.size(), b.size());
  int c = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
  if (c != 0) return sign(c);
  return sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

int sign(int64_t v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

Key hex_bytes(const std::string &hex) {
  Key out;
  for (size_t i = 0; i < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return out;
}

std::string hex(const Key &bytes) {
  std::string out;
  char b[4];
  for (uint8_t v : bytes) {
    std::snprintf(b, sizeof b, "%02X ", v);
    out += b;
  }
  return out;
}

std::string hex(const std::u16string &text) {
  std::string out;
  char b[6];
  for (char16_t u : text) {
    std::snprintf(b, sizeof b, "%04X ", static_cast<unsigned>(u));
    out += b;
  }
  return out;
}

}  // namespace pltest
