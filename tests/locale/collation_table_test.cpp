// The collation compiler against an independent reading of the table layout, its
// errors for malformed sources, and the loader's checks of collation files.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "collation/table_builder.h"
#include "frame/endian.h"
#include "item_compilers.h"
#include "locale/layouts/collation_table.h"
#include "support/locale_dir.h"
#include "support/session.h"

namespace {

namespace ct = pl::layout::collation;
using Table = std::vector<uint8_t>;

// One element as a reader of the layout sees it.
struct Got {
  uint16_t weight;
  uint8_t secondary, tertiary;
  bool special;
  uint8_t order;
  bool operator==(const Got &) const = default;
};
std::ostream &operator<<(std::ostream &os, const Got &g) {
  return os << std::hex << (g.special ? "[*" : "[") << g.weight << " " << int{g.secondary} << " "
            << int{g.tertiary} << " order " << int{g.order} << "]";
}

const uint8_t *page_of(const Table &t, uint16_t unit) {
  return t.data() + ct::kPageTable + (unit >> 8) * ct::kPageSize;
}

// The elements of a unit, looking expansions up by linear search as any reader may.
std::vector<Got> elements_of(const Table &t, uint16_t unit) {
  const uint8_t *page = page_of(t, unit);
  uint32_t value = pl::read_u32(page + ct::kPageValue), low = unit & 0xFF;
  uint8_t order = page[ct::kPageOrder];
  if (page[ct::kPageFlags] & ct::kPageIgnored) return {};
  if (page[ct::kPageFlags] & (ct::kPageAlgorithmicPrimary | ct::kPageAlgorithmicSpecial))
    return {{static_cast<uint16_t>(value + low), 0, 0,
             (page[ct::kPageFlags] & ct::kPageAlgorithmicPrimary) == 0, order}};
  const uint8_t *r = t.data() + pl::read_u32(t.data() + ct::kRecordsOffset) + (value + low) * ct::kRecordSize;
  uint16_t flags = pl::read_u16(r + ct::kRecordFlags);
  order = ct::order_bits(flags);
  if (flags & ct::kRecordExpansion) {
    const uint8_t *e = t.data() + pl::read_u32(t.data() + ct::kExpansionsOffset);
    for (int i = 0; i < pl::read_u16(t.data() + ct::kExpansionCount); ++i, e += ct::kExpansionSize)
      if (pl::read_u16(e) == unit)
        return {{pl::read_u16(e + ct::kExpansionPrimary1), e[ct::kExpansionSecondary1],
                 e[ct::kExpansionTertiary1], false, order},
                {pl::read_u16(e + ct::kExpansionPrimary2), e[ct::kExpansionSecondary2],
                 e[ct::kExpansionTertiary2], false, order}};
    return {};
  }
  uint16_t weight = pl::read_u16(r + ct::kRecordWeight);
  if (weight == 0 && r[ct::kRecordSecondary] == 0 && r[ct::kRecordTertiary] == 0) return {};
  return {{weight, r[ct::kRecordSecondary], r[ct::kRecordTertiary], (flags & ct::kRecordSpecial) != 0, order}};
}

std::optional<Got> contraction_of(const Table &t, uint16_t first, uint16_t second) {
  const uint8_t *c = t.data() + pl::read_u32(t.data() + ct::kContractionsOffset);
  for (int i = 0; i < pl::read_u16(t.data() + ct::kContractionCount); ++i, c += ct::kContractionSize) {
    uint16_t flags = pl::read_u16(c + ct::kContractionFlags);
    if (pl::read_u16(c) == first && pl::read_u16(c + ct::kContractionSecond) == second)
      return Got{pl::read_u16(c + ct::kContractionWeight), c[ct::kContractionSecondary],
                 c[ct::kContractionTertiary], (flags & ct::kRecordSpecial) != 0, ct::order_bits(flags)};
  }
  return std::nullopt;
}

class CollationCompiler : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory(dir.file("collations")); }

  void source(const std::string &name, const std::string &text) {
    pltest::write_bytes(dir.file("collations/" + name + ".txt"), Table(text.begin(), text.end()));
  }
  // Compiles a source; the error is empty on success.
  std::string compile(const std::string &name, Table &table) {
    plc::Sections sections;
    std::string error;
    if (plc::compile_collation(dir.file("collations/" + name + ".txt"), sections, error)) {
      EXPECT_EQ(sections.size(), 1u);
      table = sections[0];
    }
    return error;
  }
  Table compiled(const std::string &name) {
    Table table;
    EXPECT_EQ(compile(name, table), "");
    return table;
  }

  // A base with every kind of page, and a derived collation.
  void write_sources() {
    std::string base =
        "default-secondary 05\ndefault-tertiary 05\n"
        "U+0041 [1000 05 05]  # A\n"
        "U+0042 [1001 05 06]\n"
        "U+00C6 [1000 05 05] [1002 05 06]\n"
        "U+0063 [1004 05 05]\n"
        "contraction U+0063 U+0068 [1005 05 05]\n"
        "contraction U+0063 U+0063 [*0030]\n"
        "U+0301 [*0010]\n"
        "U+0300 []\n"
        "U+4E00..U+4FFF [8000+]\n"
        "U+1000 [2000 05 05]\nU+1100 [2000 05 05]\n"         // identical pages: shared
        "U+2000 [2000 05 05][2001 05 05]\nU+2100 [2000 05 05][2001 05 05]\n";  // not shared
    char line[32];
    for (int low = 0; low < 256; ++low) {
      std::snprintf(line, sizeof line, "U+E0%02X [*%04X]\n", low, 0x100 + low);
      base += line;
    }
    source("Base", base);
    source("Derived",
           "base Base\norder-bits B\n"
           "remap-tertiary 05 01\nremap-tertiary 06 05\n"
           "U+0041 [1003 05 05]\n"
           "contraction U+0063 U+0068 []\n"
           "contraction U+006C U+006C [*0020]\n");
  }

  pltest::TempDir dir;
};

TEST_F(CollationCompiler, PagesElementsAndContractionsRoundTrip) {
  write_sources();
  Table t = compiled("Base");
  EXPECT_EQ(t[ct::kDefaultSecondary], 5);
  EXPECT_EQ(t[ct::kDefaultTertiary], 5);
  auto flags_of = [&](int page) { return page_of(t, static_cast<uint16_t>(page << 8))[ct::kPageFlags]; };
  EXPECT_EQ(flags_of(0x00), 0);
  EXPECT_EQ(flags_of(0x12), ct::kPageIgnored);
  EXPECT_EQ(flags_of(0x4E), ct::kPageAlgorithmicPrimary);
  EXPECT_EQ(flags_of(0x4F), ct::kPageAlgorithmicPrimary);
  EXPECT_EQ(flags_of(0xE0), ct::kPageAlgorithmicSpecial);
  auto first_record = [&](int page) {
    return pl::read_u32(page_of(t, static_cast<uint16_t>(page << 8)) + ct::kPageValue);
  };
  EXPECT_EQ(first_record(0x10), first_record(0x11));
  EXPECT_NE(first_record(0x20), first_record(0x21));

  struct Case { uint16_t unit; std::vector<Got> elements; };
  const Case cases[] = {
      {0x0041, {{0x1000, 5, 5, false, 0xF}}},
      {0x0042, {{0x1001, 5, 6, false, 0xF}}},
      {0x00C6, {{0x1000, 5, 5, false, 0xF}, {0x1002, 5, 6, false, 0xF}}},
      {0x2100, {{0x2000, 5, 5, false, 0xF}, {0x2001, 5, 5, false, 0xF}}},
      {0x0301, {{0x0010, 0, 0, true, 0xF}}},
      {0x0300, {}},
      {0x0044, {}},
      {0x4E00, {{0x8000, 0, 0, false, 0xF}}},
      {0x4FFF, {{0x81FF, 0, 0, false, 0xF}}},
      {0xE07F, {{0x017F, 0, 0, true, 0xF}}},
  };
  for (const Case &c : cases) EXPECT_EQ(elements_of(t, c.unit), c.elements) << std::hex << c.unit;
  EXPECT_EQ(contraction_of(t, 'c', 'h'), (Got{0x1005, 5, 5, false, 0xF}));
  EXPECT_EQ(contraction_of(t, 'c', 'c'), (Got{0x0030, 0, 0, true, 0xF}));
  EXPECT_EQ(contraction_of(t, 'h', 'c'), std::nullopt);
}

TEST_F(CollationCompiler, DerivedCollationRemapsItsBaseAndOverrides) {
  write_sources();
  Table t = compiled("Derived");
  EXPECT_EQ(t[ct::kDefaultSecondary], 5) << "inherited";
  EXPECT_EQ(elements_of(t, 0x0041), (std::vector<Got>{{0x1003, 5, 5, false, 0xB}})) << "own line, not remapped";
  EXPECT_EQ(elements_of(t, 0x0042), (std::vector<Got>{{0x1001, 5, 5, false, 0xB}})) << "06 -> 05, not on to 01";
  EXPECT_EQ(elements_of(t, 0x00C6), (std::vector<Got>{{0x1000, 5, 1, false, 0xB}, {0x1002, 5, 5, false, 0xB}}));
  EXPECT_EQ(page_of(t, 0x4E00)[ct::kPageOrder], 0xB);
  EXPECT_EQ(contraction_of(t, 'c', 'h'), std::nullopt);
  EXPECT_EQ(contraction_of(t, 'l', 'l'), (Got{0x0020, 0, 0, true, 0xB}));
  EXPECT_EQ(pl::read_u16(t.data() + ct::kContractionCount), 2);
}

TEST_F(CollationCompiler, MalformedSourcesNameTheirLine) {
  const std::string defaults = "default-secondary 05\ndefault-tertiary 05\n";
  struct Case { std::string text; std::string where; };
  const Case cases[] = {
      {defaults + "U+0041 [1000 05]\n", "Bad.txt:3: "},
      {defaults + "U+0041 [1000 05 05][1001 05 05][1002 05 05]\n", "Bad.txt:3: "},
      {defaults + "U+0041 [*0010][1000 05 05]\n", "Bad.txt:3: "},
      {defaults + "U+0041 [0000 00 00]\n", "Bad.txt:3: "},
      {defaults + "U+0041 [] [1000 05 05]\n", "Bad.txt:3: "},
      {defaults + "U+10000 [1000 05 05]\n", "Bad.txt:3: "},
      {defaults + "U+0041..U+0040 [1000+]\n", "Bad.txt:3: "},
      {defaults + "U+FF00..U+FFFF [FF80+]\n", "Bad.txt:3: "},
      {defaults + "contraction U+0041 [1000 05 05]\n", "Bad.txt:3: "},
      {defaults + "contraction U+0041 U+0042 [1000 05 05][1001 05 05]\n", "Bad.txt:3: "},
      {defaults + "U+0041 [1000 05 05]\norder-bits 1\n", "Bad.txt:4: "},
      {defaults + "default-tertiary 06\n", "Bad.txt:3: "},
      {defaults + "sort-order 1\n", "Bad.txt:3: "},
      {defaults + "remap-tertiary 05 01\n", "Bad.txt:3: "},
      {"default-secondary 00\n", "Bad.txt:1: "},
      {"default-secondary 05\nU+0041 [1000 05 05]\n", "Bad.txt: "},
      {"base Bad\n", "Bad.txt:1: "},
      {"base Loop\n", "Loop.txt:1: "},
      {"base Missing\n", "Missing.txt: "},
      {"base Good\nremap-tertiary 05 01\nremap-tertiary 05 02\n", "Bad.txt:3: "},
  };
  source("Good", defaults);
  source("Loop", "base Bad\n");
  for (const Case &c : cases) {
    source("Bad", c.text);
    Table table;
    std::string error = compile("Bad", table);
    EXPECT_NE(error.find(c.where), std::string::npos) << c.text << " gave: " << error;
  }
}

// Loads a collation file through a temporary locale directory.
class CollationLoad : public CollationCompiler {
 protected:
  void SetUp() override {
    CollationCompiler::SetUp();
    locale.copy_from(pltest::built_locale_dir());
    std::vector<pltest::EntrySpec> entries = {
        {0, 1, "English"}, {1, 1, "UnitedStates"}, {2, 1, "US-ASCII"}, {3, 1, "Probe"}};
    pltest::write_bytes(locale.file("control.nls"),
                        pltest::container_bytes({pltest::control_table_bytes(entries)}));
    write_sources();
  }

  // The entry's state after loading `table`, or nullopt when the load is refused.
  std::optional<uint8_t> load(const Table &table) {
    pltest::write_bytes(locale.file("so_0001.nls"), pltest::container_bytes({table}));
    pltest::Session session(locale.path());
    pl::Code code = PL_OK;
    pl::ControlEntry *entry = session.find(3, "Probe", &code);
    if (entry == nullptr) {
      EXPECT_EQ(code, PL_ERR_FILE_READ);
      return std::nullopt;
    }
    EXPECT_EQ(code, PL_OK);
    return entry->state;
  }

  uint8_t *record(Table &t, uint16_t unit) {
    return t.data() + pl::read_u32(t.data() + ct::kRecordsOffset) +
           (pl::read_u32(page_of(t, unit) + ct::kPageValue) + (unit & 0xFF)) * ct::kRecordSize;
  }

  pltest::TempDir locale;
};

TEST_F(CollationLoad, TablesReachingOutsideTheSectionAreRefused) {
  const Table good = compiled("Base");
  EXPECT_EQ(load(good).value_or(0) & pl::kStateCollationHints, pl::kStateCollationHints);
  auto lie = [&](const std::function<void(Table &)> &change) {
    Table t = good;
    change(t);
    return load(t);
  };
  auto page_value = [](Table &t, int page) {
    return t.data() + ct::kPageTable + page * ct::kPageSize + ct::kPageValue;
  };
  // Page 0x12 (ignored) read as a table page whose records end `beyond` records past
  // the section's end.
  auto table_page_at_end = [&](uint32_t beyond) {
    return [&, beyond](Table &t) {
      t[ct::kPageTable + 0x12 * ct::kPageSize + ct::kPageFlags] = 0;
      uint32_t room = static_cast<uint32_t>(t.size()) - pl::read_u32(t.data() + ct::kRecordsOffset);
      uint32_t records = room / ct::kRecordSize;
      pl::write_u32(page_value(t, 0x12), records - 256 + beyond);
    };
  };
  EXPECT_NE(lie(table_page_at_end(0)), std::nullopt);
  const std::function<void(Table &)> lies[] = {
      [](Table &t) { t.resize(ct::kFixedSize - 1); },
      [](Table &t) { t.pop_back(); },
      [](Table &t) { pl::write_u16(t.data() + ct::kExpansionCount, 0xFFFF); },
      [](Table &t) { pl::write_u16(t.data() + ct::kContractionCount, 3); },
      [](Table &t) { pl::write_u32(t.data() + ct::kContractionsOffset, 0xFFFFFFF0u); },
      [](Table &t) { pl::write_u32(t.data() + ct::kRecordsOffset, static_cast<uint32_t>(t.size())); },
      [&](Table &t) { pl::write_u32(page_value(t, 0x20), 0x2AAAAAAAu); },
      table_page_at_end(1),
  };
  for (size_t i = 0; i < std::size(lies); ++i) EXPECT_EQ(lie(lies[i]), std::nullopt) << "lie " << i;
}

TEST_F(CollationLoad, WrongHintsLoadWithoutTheHintBit) {
  const Table good = compiled("Base");
  auto hints_after = [&](auto change) {
    Table t = good;
    change(t);
    std::optional<uint8_t> state = load(t);
    return state ? *state & pl::kStateCollationHints : -1;
  };
  EXPECT_EQ(hints_after([&](Table &t) { pl::write_u16(record(t, 0x00C6) + ct::kRecordWeight, 1); }), 0);
  EXPECT_EQ(hints_after([&](Table &t) { pl::write_u16(record(t, 0x00C6) + ct::kRecordWeight, 7); }), 0);
  EXPECT_EQ(hints_after([&](Table &t) { record(t, 'c')[ct::kRecordFlags] &= ~ct::kRecordStartsContraction; }), 0);
  EXPECT_EQ(hints_after([&](Table &t) { record(t, 'A')[ct::kRecordFlags] |= ct::kRecordStartsContraction; }), 0);
  EXPECT_EQ(hints_after([&](Table &t) {
              uint8_t *c = t.data() + pl::read_u32(t.data() + ct::kContractionsOffset);
              std::swap_ranges(c, c + ct::kContractionSize, c + ct::kContractionSize);
            }), 0);
  EXPECT_EQ(hints_after([&](Table &t) {
              uint8_t *e = t.data() + pl::read_u32(t.data() + ct::kExpansionsOffset);
              std::swap_ranges(e, e + ct::kExpansionSize, e + ct::kExpansionSize);
            }), 0);
}

}  // namespace
