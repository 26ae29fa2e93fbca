#include "codesets.h"

#include <gtest/gtest.h>

namespace pltest {
namespace {

int32_t collect(void *user, int32_t kind, const char *name) {
  if (kind == PL_KIND_CODESET) static_cast<std::vector<std::string> *>(user)->push_back(name);
  return 1;
}

}  // namespace

Codesets::Codesets(Session &) {
  std::vector<std::string> names;
  PLEnumLocales(collect, &names);
  for (const std::string &name : names) {
    int32_t error = 0;
    PLLocale *locale = PLGetLocale(("." + name).c_str(), 0, &error);
    EXPECT_NE(locale, nullptr) << name << " " << error;
    if (locale == nullptr) continue;
    sets_.push_back({name, static_cast<uint16_t>(PLGetLocaleNumInfo(locale, PL_CODESET_ID, 0)),
                     locale, PLGetLocaleNumInfo(locale, PL_CODESET_STATEFUL, 0) == 1});
  }
}

Codesets::~Codesets() {
  for (const Codeset &set : sets_) PLReleaseLocale(set.locale);
}

const Codeset &Codesets::named(const std::string &name) const {
  for (const Codeset &set : sets_)
    if (set.name == name) return set;
  ADD_FAILURE() << "no code set " << name;
  return sets_.front();
}

Units random_units(std::mt19937 &random, size_t count) {
  Units units;
  while (units.size() < count) {
    uint32_t pick = random() % 16;
    if (pick < 7) {
      units.push_back(static_cast<uint16_t>(0x20 + random() % 0x5F));
    } else if (pick < 8) {
      units.push_back(static_cast<uint16_t>(random() % 0x100));
    } else if (pick < 15) {
      uint16_t unit = static_cast<uint16_t>(0x80 + random() % (0x10000 - 0x80));
      if (unit >= 0xD800 && unit <= 0xDFFF) continue;
      units.push_back(unit);
    } else {
      uint32_t offset = random() % 0x100000;
      units.push_back(static_cast<uint16_t>(0xD800 + (offset >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + (offset & 0x3FF)));
    }
  }
  for (uint16_t &unit : units)
    if (unit == 0) unit = 0x41;
  return units;
}

Bytes valid_text(std::mt19937 &random, const Codeset &set, size_t count) {
  Units units = random_units(random, count);
  Bytes out(units.size() * 8 + 8);
  int32_t n = PLUnicodeToString(set.locale, reinterpret_cast<char *>(out.data()),
                                static_cast<int32_t>(out.size()), units.data(),
                                static_cast<int32_t>(units.size()), 0);
  EXPECT_GE(n, 0);
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

Bytes random_bytes(std::mt19937 &random, size_t count) {
  Bytes bytes(count);
  for (uint8_t &b : bytes) b = static_cast<uint8_t>(1 + random() % 255);
  return bytes;
}

}  // namespace pltest
