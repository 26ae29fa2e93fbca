// Read access to a loaded collation table: the element of a unit, an expansion, a
// contraction. The loader has checked that every record, expansion and contraction
// the table names lies inside it, and whether the compiler's lookup hints hold.
#pragma once

#include <cstdint>

#include "frame/endian.h"
#include "locale/control_entry.h"
#include "locale/layouts/collation_table.h"

namespace pl {

// One collation element; a weight of 0 means none at that level.
struct Element {
  uint16_t primary;
  uint8_t secondary;
  uint8_t tertiary;
  uint16_t special;
  uint8_t order;  // layout::collation::kOrder... bits
};

class CollationView {
 public:
  explicit CollationView(const ControlEntry &entry)
      : table_(entry.section[0]),
        hints_((entry.state & kStateCollationHints) != 0),
        forward_((entry.state & kStateCollationForward) != 0) {
    namespace c = layout::collation;
    records_ = table_ + read_u32(table_ + c::kRecordsOffset);
    expansions_ = table_ + read_u32(table_ + c::kExpansionsOffset);
    contractions_ = table_ + read_u32(table_ + c::kContractionsOffset);
    expansion_count_ = read_u16(table_ + c::kExpansionCount);
    contraction_count_ = read_u16(table_ + c::kContractionCount);
  }

  uint8_t default_secondary() const { return table_[layout::collation::kDefaultSecondary]; }
  uint8_t default_tertiary() const { return table_[layout::collation::kDefaultTertiary]; }
  uint16_t expansion_count() const { return expansion_count_; }
  uint16_t contraction_count() const { return contraction_count_; }
  // The compiler's hints hold: only units whose record says so begin contractions, and
  // an expansion record's weight indexes its entry.
  bool hinted() const { return hints_; }
  // Every element of the table places all its weights forward.
  bool forward_only() const { return forward_; }

  // Whether `unit` may begin a contraction (without hints, any unit may).
  bool may_start_contraction(uint16_t unit) const {
    if (contraction_count_ == 0) return false;
    if (!hints_) return true;
    Page p = page(static_cast<uint8_t>(unit >> 8));
    constexpr uint8_t kNotTable = layout::collation::kPageIgnored |
                                  layout::collation::kPageAlgorithmicPrimary |
                                  layout::collation::kPageAlgorithmicSpecial;
    return (p.flags & kNotTable) == 0 &&
           (record(p, static_cast<uint8_t>(unit)).flags &
            layout::collation::kRecordStartsContraction) != 0;
  }

  // An identical start of two strings can be left out of their comparison: every
  // weight is forward (a backward level reads the start last) and contractions are
  // known by their first unit.
  bool skips_prefixes() const { return forward_ && (contraction_count_ == 0 || hints_); }

  struct Page {
    uint8_t flags;
    uint8_t order;
    uint32_t value;
  };
  Page page(uint8_t high) const {
    namespace c = layout::collation;
    const uint8_t *p = table_ + c::kPageTable + c::kPageSize * high;
    return {p[c::kPageFlags], p[c::kPageOrder], read_u32(p + c::kPageValue)};
  }

  struct Record {
    uint16_t weight;
    uint8_t secondary;
    uint8_t tertiary;
    uint16_t flags;
  };
  // The record of `low` in a table page.
  Record record(const Page &page, uint8_t low) const {
    const uint8_t *r = records_ + layout::collation::kRecordSize * (size_t{page.value} + low);
    return {read_u16(r), r[2], r[3], read_u16(r + 4)};
  }

  // The entry of an expansion record's unit; null when the table has none.
  const uint8_t *expansion(uint16_t unit, const Record &record) const;
  // The element of the contraction (first, second); false when there is none.
  bool contraction(uint16_t first, uint16_t second, Element &element) const;

  // Raw entries, for the services that list them.
  const uint8_t *expansion_entry(size_t i) const {
    return expansions_ + layout::collation::kExpansionSize * i;
  }
  const uint8_t *contraction_entry(size_t i) const {
    return contractions_ + layout::collation::kContractionSize * i;
  }

 private:
  const uint8_t *table_;
  const uint8_t *records_;
  const uint8_t *expansions_;
  const uint8_t *contractions_;
  uint16_t expansion_count_;
  uint16_t contraction_count_;
  bool hints_;
  bool forward_;
};

// The element a contraction entry or a single record gives.
Element contraction_element(const uint8_t *entry);

}  // namespace pl
