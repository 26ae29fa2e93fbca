#include "string/collate/collation_services.h"

#include "string/collate/element_stream.h"
#include "string/collate/unit_sources.h"

namespace pl {
namespace {

namespace c = layout::collation;

// The units of every page whose element has primary `p` (special-only ones for 0).
size_t units_with_primary(const CollationView &view, uint16_t p, uint16_t *units) {
  size_t n = 0;
  for (unsigned high = 0; high < 256; ++high) {
    CollationView::Page page = view.page(static_cast<uint8_t>(high));
    uint16_t base = static_cast<uint16_t>(page.value);
    if ((page.flags & c::kPageIgnored) != 0) continue;
    if ((page.flags & c::kPageAlgorithmicPrimary) != 0) {
      if (p != 0 && p >= base && p - base <= 0xFF)
        units[n++] = static_cast<uint16_t>(high << 8 | (p - base));
      continue;
    }
    if ((page.flags & c::kPageAlgorithmicSpecial) != 0) {
      for (unsigned low = 0; p == 0 && low < 256; ++low)
        units[n++] = static_cast<uint16_t>(high << 8 | low);
      continue;
    }
    for (unsigned low = 0; low < 256; ++low) {
      CollationView::Record r = view.record(page, static_cast<uint8_t>(low));
      if ((r.flags & c::kRecordExpansion) != 0) continue;
      bool special = (r.flags & c::kRecordSpecial) != 0;
      if (p == 0 ? special : !special && r.weight == p)
        units[n++] = static_cast<uint16_t>(high << 8 | low);
    }
  }
  return n;
}

// The contractions whose element has primary `p` (special-only ones for 0).
size_t contractions_with_primary(const CollationView &view, uint16_t p, UnitTriple *triples) {
  size_t n = 0;
  for (size_t i = 0; i < view.contraction_count(); ++i) {
    const uint8_t *entry = view.contraction_entry(i);
    bool special = (read_u16(entry + c::kContractionFlags) & c::kRecordSpecial) != 0;
    if (p == 0 ? !special : special || read_u16(entry + c::kContractionWeight) != p) continue;
    triples[n][0] = read_u16(entry + c::kContractionFirst);
    triples[n][1] = read_u16(entry + c::kContractionSecond);
    triples[n++][2] = 0;
  }
  return n;
}

// The characters of the expansions with primaries `p1` and `p2`.
size_t expansions_with_primaries(const CollationView &view, uint16_t p1, uint16_t p2,
                                 uint16_t *units) {
  size_t n = 0;
  for (size_t i = 0; i < view.expansion_count(); ++i) {
    const uint8_t *entry = view.expansion_entry(i);
    if (read_u16(entry + c::kExpansionPrimary1) == p1 &&
        read_u16(entry + c::kExpansionPrimary2) == p2)
      units[n++] = read_u16(entry + c::kExpansionUnit);
  }
  return n;
}

}  // namespace

size_t collation_contraction_count(const ControlEntry *collation) {
  return collation == nullptr ? 0 : CollationView(*collation).contraction_count();
}

size_t list_collation_contractions(const ControlEntry &collation, UnitTriple *out) {
  CollationView view(collation);
  for (size_t i = 0; i < view.contraction_count(); ++i) {
    const uint8_t *entry = view.contraction_entry(i);
    out[i][0] = read_u16(entry + c::kContractionFirst);
    out[i][1] = read_u16(entry + c::kContractionSecond);
    out[i][2] = 0;
  }
  return view.contraction_count();
}

size_t list_collation_equivalents(const ControlEntry *collation, uint16_t first, uint16_t second,
                                  uint16_t *units, size_t *triple_count, UnitTriple *triples) {
  *triple_count = 0;
  if (collation == nullptr) {
    if (second != 0) return 0;
    units[0] = first;
    return 1;
  }
  CollationView view(*collation);
  Element elements[2];
  size_t count = 0;
  if (second != 0) {
    if (!view.contraction(first, second, elements[0])) return 0;
    count = 1;
  } else {
    PLUChar unit = first;
    ElementStream<ArrayUnits> stream(view, ArrayUnits(&unit, 1));
    while (count < 2 && stream.next(elements[count])) ++count;
  }
  if (count == 2) return expansions_with_primaries(view, elements[0].primary, elements[1].primary, units);
  if (count == 0) return 0;
  *triple_count = contractions_with_primary(view, elements[0].primary, triples);
  return units_with_primary(view, elements[0].primary, units);
}

}  // namespace pl
