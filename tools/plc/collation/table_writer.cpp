#include "collation/table_writer.h"

#include "frame/endian.h"
#include "locale/layouts/collation_table.h"

namespace plc::collation {
namespace {

namespace ct = pl::layout::collation;

void write_expansion(uint8_t *at, const Expansion &e) {
  pl::write_u16(at + ct::kExpansionUnit, e.unit);
  pl::write_u16(at + ct::kExpansionPrimary1, e.first.weight);
  at[ct::kExpansionSecondary1] = e.first.secondary;
  at[ct::kExpansionTertiary1] = e.first.tertiary;
  pl::write_u16(at + ct::kExpansionPrimary2, e.second.weight);
  at[ct::kExpansionSecondary2] = e.second.secondary;
  at[ct::kExpansionTertiary2] = e.second.tertiary;
}

void write_contraction(uint8_t *at, const Contraction &c, uint8_t order) {
  pl::write_u16(at + ct::kContractionFirst, c.units.first);
  pl::write_u16(at + ct::kContractionSecond, c.units.second);
  pl::write_u16(at + ct::kContractionWeight, c.element.weight);
  at[ct::kContractionSecondary] = c.element.secondary;
  at[ct::kContractionTertiary] = c.element.tertiary;
  pl::write_u16(at + ct::kContractionFlags,
                static_cast<uint16_t>(ct::order_flags(order) | (c.element.special ? ct::kRecordSpecial : 0)));
}

}  // namespace

std::vector<uint8_t> write_table(const CollationTable &table) {
  uint32_t records = ct::kFixedSize;
  uint32_t expansions = records + static_cast<uint32_t>(table.records.size() * ct::kRecordSize);
  uint32_t contractions = expansions + static_cast<uint32_t>(table.expansions.size() * ct::kExpansionSize);
  std::vector<uint8_t> bytes(contractions + table.contractions.size() * ct::kContractionSize, 0);
  uint8_t *base = bytes.data();

  base[ct::kDefaultSecondary] = table.default_secondary;
  base[ct::kDefaultTertiary] = table.default_tertiary;
  pl::write_u16(base + ct::kExpansionCount, static_cast<uint16_t>(table.expansions.size()));
  pl::write_u16(base + ct::kContractionCount, static_cast<uint16_t>(table.contractions.size()));
  for (size_t p = 0; p < 256; ++p) {
    uint8_t *entry = base + ct::kPageTable + p * ct::kPageSize;
    entry[ct::kPageFlags] = table.pages[p].flags;
    entry[ct::kPageOrder] = table.pages[p].order;
    pl::write_u32(entry + ct::kPageValue, table.pages[p].value);
  }
  pl::write_u32(base + ct::kRecordsOffset, records);
  pl::write_u32(base + ct::kExpansionsOffset, expansions);
  pl::write_u32(base + ct::kContractionsOffset, contractions);

  for (size_t i = 0; i < table.records.size(); ++i) {
    const Record &r = table.records[i];
    uint8_t *at = base + records + i * ct::kRecordSize;
    pl::write_u16(at + ct::kRecordWeight, r.weight);
    at[ct::kRecordSecondary] = r.secondary;
    at[ct::kRecordTertiary] = r.tertiary;
    pl::write_u16(at + ct::kRecordFlags, r.flags);
  }
  for (size_t i = 0; i < table.expansions.size(); ++i)
    write_expansion(base + expansions + i * ct::kExpansionSize, table.expansions[i]);
  for (size_t i = 0; i < table.contractions.size(); ++i)
    write_contraction(base + contractions + i * ct::kContractionSize, table.contractions[i], table.order_bits);
  return bytes;
}

}  // namespace plc::collation
