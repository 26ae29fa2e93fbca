#include "collation/table_builder.h"

#include <map>

#include "locale/layouts/collation_table.h"

namespace plc::collation {
namespace {

namespace ct = pl::layout::collation;

constexpr uint32_t kCountLimit = 0xFFFF;  // the counts are 16-bit

// Whether every unit of the page is one element of the given kind, with no secondary
// or tertiary weight, whose weight is the page's base plus the unit's low byte.
bool is_algorithmic(const UnitElements *page, bool special, uint32_t &base) {
  base = page[0].element[0].weight;
  for (uint32_t low = 0; low < 256; ++low) {
    const UnitElements &u = page[low];
    const Element &e = u.element[0];
    if (u.count != 1 || e.special != special || e.secondary != 0 || e.tertiary != 0 ||
        e.weight != base + low)
      return false;
  }
  return true;
}

// The page entry of a page that needs no records, if it is one.
bool algorithmic_page(const UnitElements *page, uint8_t order, PageEntry &entry) {
  bool ignored = true;
  for (uint32_t low = 0; low < 256 && ignored; ++low) ignored = page[low].count == 0;
  uint32_t base = 0;
  if (ignored)
    entry = {ct::kPageIgnored, 0, 0};
  else if (is_algorithmic(page, false, base))
    entry = {ct::kPageAlgorithmicPrimary, order, base};
  else if (is_algorithmic(page, true, base))
    entry = {ct::kPageAlgorithmicSpecial, order, base};
  else
    return false;
  return true;
}

Record one_element(const Element &e, uint16_t order_flags) {
  return {e.weight, e.secondary, e.tertiary,
          static_cast<uint16_t>(order_flags | (e.special ? ct::kRecordSpecial : 0))};
}

}  // namespace

bool build_table(const CollationSource &source, CollationTable &out, std::string &error) {
  out = CollationTable();
  out.default_secondary = source.default_secondary;
  out.default_tertiary = source.default_tertiary;
  out.order_bits = source.order_bits;
  uint16_t order_flags = ct::order_flags(source.order_bits);

  if (source.contractions.size() > kCountLimit) {
    error = "more than 65535 contractions";
    return false;
  }
  std::vector<bool> starts_contraction(0x10000, false);
  for (const auto &[units, element] : source.contractions) {
    starts_contraction[units.first] = true;
    out.contractions.push_back({units, element});
  }

  // Pages whose records carry no hint may share their records with an identical page.
  std::map<std::vector<Record>, uint32_t> shared;
  for (uint32_t page = 0; page < 256; ++page) {
    const UnitElements *units = &source.units[page * 256];
    bool has_start = false;
    for (uint32_t low = 0; low < 256; ++low) has_start = has_start || starts_contraction[page * 256 + low];
    if (!has_start && algorithmic_page(units, source.order_bits, out.pages[page])) continue;

    std::vector<Record> records(256);
    bool has_hint = has_start;
    for (uint32_t low = 0; low < 256; ++low) {
      const UnitElements &u = units[low];
      Record &r = records[low];
      if (u.count == 1) {
        r = one_element(u.element[0], order_flags);
      } else if (u.count == 2) {
        if (out.expansions.size() >= kCountLimit) {
          error = "more than 65535 expansions";
          return false;
        }
        r.weight = static_cast<uint16_t>(out.expansions.size());
        r.flags = order_flags | ct::kRecordExpansion;
        out.expansions.push_back({static_cast<uint16_t>(page * 256 + low), u.element[0], u.element[1]});
        has_hint = true;
      }
      if (starts_contraction[page * 256 + low]) r.flags |= ct::kRecordStartsContraction;
    }
    uint32_t first = static_cast<uint32_t>(out.records.size());
    if (!has_hint) {
      auto [it, added] = shared.emplace(records, first);
      if (!added) {
        out.pages[page].value = it->second;
        continue;
      }
    }
    out.pages[page].value = first;
    out.records.insert(out.records.end(), records.begin(), records.end());
  }
  return true;
}

}  // namespace plc::collation
