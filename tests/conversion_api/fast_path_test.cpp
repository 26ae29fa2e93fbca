// The fast path against the plain character-by-character path: every conversion over
// random texts of every code set, with random room, flags and limits, must give the
// same output, result, code and counts.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>

#include "charset/conversion/conversion_object.h"
#include "charset/conversion/string_conversions.h"
#include "codesets.h"
#include "support/locale_dir.h"

namespace {

using pl::Path;
using pltest::Bytes;
using pltest::Codeset;
using pltest::Units;

// One call's observable effects.
struct Effect {
  int32_t result;
  int32_t code;
  std::vector<uint8_t> output;
  std::vector<int64_t> outs;
  bool operator==(const Effect &) const = default;
};

template <class Out, class Call>
Effect effect(PLLocale *handle, size_t room, Call call) {
  // Counted in characters a size may take several bytes each.
  std::vector<Out> buffer(room * 6 + 8, static_cast<Out>(0x5A5A5A5A));
  std::vector<int64_t> outs;
  int32_t result = call(buffer.data(), outs);
  Effect e{result, handle->last_error, {}, outs};
  const uint8_t *bytes = reinterpret_cast<const uint8_t *>(buffer.data());
  e.output.assign(bytes, bytes + buffer.size() * sizeof(Out));
  return e;
}

// Runs of ASCII (long enough for the block steps) between runs of Latin-1, kana, CJK
// and now and then a surrogate pair: the shape of real text, which random units
// rarely have.
Units run_units(std::mt19937 &random, size_t count) {
  static constexpr uint16_t kRanges[][2] = {
      {0xA0, 0xFF}, {0x3041, 0x30F6}, {0x4E00, 0x9FA5}, {0x2010, 0x20AC}, {0xFF01, 0xFF9F}};
  Units units;
  while (units.size() < count) {
    size_t ascii = random() % 40;
    for (size_t k = 0; k < ascii; ++k) units.push_back(static_cast<uint16_t>(0x20 + random() % 0x5F));
    const auto &range = kRanges[random() % std::size(kRanges)];
    size_t other = 1 + random() % 8;
    for (size_t k = 0; k < other; ++k)
      units.push_back(static_cast<uint16_t>(range[0] + random() % (range[1] - range[0] + 1)));
    if (random() % 8 == 0) {
      units.push_back(static_cast<uint16_t>(0xD800 + random() % 0x400));
      if (random() % 4 != 0) units.push_back(static_cast<uint16_t>(0xDC00 + random() % 0x400));
    }
  }
  return units;
}

// Mostly ASCII with single units now and then from above it (Latin-1, Latin
// Extended, punctuation, a lone surrogate, anything): the shape of Western text, which
// puts one or two of them into many blocks of eight.
Units sprinkled_units(std::mt19937 &random, size_t count) {
  static constexpr uint16_t kRanges[][2] = {
      {0x80, 0xFF}, {0x100, 0x2FF}, {0x2010, 0x20AC}, {0xD800, 0xDFFF}, {0x0, 0xFFFF}};
  Units units;
  while (units.size() < count) {
    if (random() % 100 < 90) {
      units.push_back(static_cast<uint16_t>(random() % 0x80));
      continue;
    }
    const auto &range = kRanges[random() % std::size(kRanges)];
    units.push_back(static_cast<uint16_t>(range[0] + random() % (range[1] - range[0] + 1)));
  }
  return units;
}

// Mostly ASCII bytes with any byte now and then.
Bytes sprinkled_bytes(std::mt19937 &random, size_t count) {
  Bytes bytes;
  for (size_t k = 0; k < count; ++k)
    bytes.push_back(static_cast<uint8_t>(random() % 100 < 90 ? 1 + random() % 0x7F : 1 + random() % 255));
  return bytes;
}

class FastPath : public testing::Test {
 protected:
  // A text with a NUL after its last byte (not counted), for the -1 lengths: random
  // valid text, random bytes, mostly ASCII bytes, or text in runs with now and then a
  // byte changed.
  Bytes text(const Codeset &set) {
    size_t units = 40 + random_() % 400;
    Bytes t;
    switch (random_() % 4) {
      case 0:
        t = pltest::valid_text(random_, set, units);
        break;
      case 1:
        t = pltest::random_bytes(random_, units);
        break;
      case 2:
        t = sprinkled_bytes(random_, units);
        break;
      default:
        t = encoded(set, run_units(random_, units));
        for (size_t k = random_() % 4; k > 0 && !t.empty(); --k)
          t[random_() % t.size()] = static_cast<uint8_t>(1 + random_() % 255);
    }
    t.push_back(0);
    return t;
  }
  Units units(size_t count) {
    switch (random_() % 3) {
      case 0:
        return pltest::random_units(random_, count);
      case 1:
        return sprinkled_units(random_, count);
      default:
        return run_units(random_, count);
    }
  }
  Bytes encoded(const Codeset &set, const Units &u) {
    Bytes out(u.size() * 8 + 8);
    int32_t n = PLUnicodeToString(set.locale, reinterpret_cast<char *>(out.data()),
                                  static_cast<int32_t>(out.size()), u.data(),
                                  static_cast<int32_t>(u.size()), 0);
    out.resize(n < 0 ? 0 : static_cast<size_t>(n));
    return out;
  }
  int32_t room(size_t wanted) { return static_cast<int32_t>(random_() % (wanted + 8)); }
  int32_t flags(bool terminate, bool count_chars) {
    return (terminate && random_() % 2 ? 8 : 0) | (count_chars && random_() % 3 == 0 ? 0x4000 : 0);
  }

  pltest::Session session_{pltest::built_locale_dir()};
  pltest::Codesets sets_{session_};
  std::mt19937 random_{7};
};

constexpr int kRounds = 16;

TEST_F(FastPath, CodesetToUnicode) {
  for (const Codeset &set : sets_.all()) {
    PLLocale *h = set.locale;
    for (int round = 0; round < kRounds; ++round) {
      Bytes t = text(set);
      size_t len = t.size() - 1;
      const char *src = reinterpret_cast<const char *>(t.data());
      int32_t length = random_() % 5 == 0 ? static_cast<int32_t>(len)
                                          : static_cast<int32_t>(random_() % (len + 1));
      int32_t units = room(len * 2), f = flags(true, true);
      PLState state = set.stateful ? random_() % 2 : 0;
      std::vector<int32_t> limits = {length, -1, -2, static_cast<int32_t>(random_() % 300)};
      int32_t bytes_limit = limits[random_() % 4], chars_limit = limits[random_() % 4];
      auto both = [&](auto make) { EXPECT_EQ(make(Path::reference), make(Path::fast)) << set.name; };
      both([&](Path p) {
        return effect<PLUChar>(h, units, [&](PLUChar *dst, std::vector<int64_t> &) {
          return pl::string_to_unicode(h, dst, units, src, state, length, f, p);
        });
      });
      both([&](Path p) {
        return effect<PLUChar>(h, units, [&](PLUChar *dst, std::vector<int64_t> &outs) {
          int32_t read = 0, read_chars = 0;
          PLState after = 0;
          int32_t r = pl::string_to_unicode_enhanced(h, dst, units, src, state,
                                                     {bytes_limit, chars_limit},
                                                     {&read, &read_chars, &after}, f & 8, p);
          outs = {read, read_chars, after};
          return r;
        });
      });
      both([&](Path p) {
        return effect<PLWChar>(h, units, [&](PLWChar *dst, std::vector<int64_t> &) {
          return pl::mb_to_wide(h, dst, units, src, state, length, f, p);
        });
      });
      std::vector<PLWChar> wide(len + 1);
      int32_t w = pl::mb_to_wide(h, wide.data(), static_cast<int32_t>(wide.size()), src, 0,
                                 static_cast<int32_t>(len), 0, Path::reference);
      both([&](Path p) {
        return effect<PLUChar>(h, units, [&](PLUChar *dst, std::vector<int64_t> &) {
          return pl::string_to_unicode_w(h, dst, units, wide.data(), w, f, p);
        });
      });
    }
  }
}

TEST_F(FastPath, UnicodeToCodeset) {
  for (const Codeset &set : sets_.all()) {
    PLLocale *h = set.locale;
    for (int round = 0; round < kRounds; ++round) {
      Units u = units(40 + random_() % 400);
      int32_t count = static_cast<int32_t>(random_() % (u.size() + 1));
      int32_t size = room(u.size() * 4), f = flags(true, true);
      int32_t chars_room = room(u.size());
      PLState state = set.stateful ? random_() % 2 : 0;
      auto both = [&](auto make) { EXPECT_EQ(make(Path::reference), make(Path::fast)) << set.name; };
      both([&](Path p) {
        return effect<char>(h, size, [&](char *dst, std::vector<int64_t> &) {
          return pl::unicode_to_string(h, dst, state, size, u.data(), count, f, p);
        });
      });
      both([&](Path p) {
        return effect<char>(h, size, [&](char *dst, std::vector<int64_t> &outs) {
          int32_t read = 0, written = 0;
          PLState after = 0;
          int32_t r = pl::unicode_to_string_enhanced(h, dst, state, {size, chars_room}, u.data(),
                                                     count, {&read, &written, &after}, f & 8, p);
          outs = {read, written, after};
          return r;
        });
      });
      both([&](Path p) {
        return effect<PLWChar>(h, size, [&](PLWChar *dst, std::vector<int64_t> &) {
          return pl::unicode_to_string_w(h, dst, size, u.data(), count, f, p);
        });
      });
    }
  }
}

TEST_F(FastPath, BetweenCodesets) {
  const auto &all = sets_.all();
  for (size_t k = 0; k < all.size(); ++k) {
    const Codeset &from = all[k];
    for (const Codeset *to : {&sets_.named("UTF-8"), &sets_.named("MS932"), &all[(k + 7) % all.size()]}) {
      PLLocale *target = to->locale;
      for (int round = 0; round < kRounds; ++round) {
        Bytes t = text(from);
        size_t len = t.size() - 1;
        const char *src = reinterpret_cast<const char *>(t.data());
        int32_t length = static_cast<int32_t>(len), size = room(len * 4);
        int32_t f = flags(true, true);
        EXPECT_EQ(effect<char>(target, size, [&](char *dst, std::vector<int64_t> &) {
                    return pl::convert_string(target, dst, 0, size, from.locale, src, 0, length, f,
                                              Path::reference);
                  }),
                  effect<char>(target, size, [&](char *dst, std::vector<int64_t> &) {
                    return pl::convert_string(target, dst, 0, size, from.locale, src, 0, length, f,
                                              Path::fast);
                  }))
            << from.name << " to " << to->name;

        // The buffer conversion in large random pieces.
        Bytes outputs[2];
        for (Path p : {Path::reference, Path::fast}) {
          PLConversion *c = pl::open_conversion(target, from.locale);
          ASSERT_NE(c, nullptr);
          std::mt19937 pieces(round);
          const uint8_t *in = t.data();
          size_t in_total = len;
          pl::Code code = PL_OK;
          while (in_total > 0 || code == PL_ERR_OUTPUT_FULL) {
            size_t chunk = std::min<size_t>(in_total, pieces() % 300);
            uint8_t buffer[256];
            uint8_t *out = buffer;
            size_t out_left = pieces() % sizeof buffer, in_left = chunk;
            code = pl::convert_buffer(c, target, from.locale, &out, &out_left, &in, &in_left, p).code;
            outputs[p == Path::fast].insert(outputs[p == Path::fast].end(), buffer, out);
            in_total -= chunk - in_left;
          }
          EXPECT_EQ(pl::close_conversion(c), PL_OK);
        }
        EXPECT_EQ(outputs[0], outputs[1]) << from.name << " to " << to->name;
      }
    }
  }
}

}  // namespace
